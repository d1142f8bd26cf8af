-- Every kind of MariaDB column, with NULLs, blanks, non-ASCII text, odd names;
-- a keyless view for paging and constraints for refusals.
CREATE TABLE parent (parent_id INT PRIMARY KEY, label VARCHAR(20) NOT NULL);
INSERT INTO parent VALUES (1, 'one'), (2, 'two');
CREATE TABLE kinds (
  id INT AUTO_INCREMENT PRIMARY KEY,
  name VARCHAR(40) NOT NULL,
  note TEXT NULL,
  code VARCHAR(5) NULL UNIQUE,
  tiny TINYINT NULL,
  small_u SMALLINT UNSIGNED NULL,
  medium MEDIUMINT NULL,
  big BIGINT NULL,
  price DECIMAL(4,2) NULL,
  ratio DOUBLE NULL,
  flt FLOAT NULL,
  flag TINYINT(1) NULL,
  born DATE NULL,
  seen DATETIME NULL,
  stamp TIMESTAMP NULL DEFAULT NULL,
  at_time TIME NULL,
  yr YEAR NULL,
  fixed CHAR(3) NULL,
  mood ENUM('happy', 'sad', 'ok') NULL,
  tags SET('red', 'green', 'blue') NULL,
  doc JSON NULL,
  bits BIT(4) NULL,
  shape GEOMETRY NULL,
  pt POINT NULL,
  data BLOB NULL,
  bin VARBINARY(8) NULL,
  uid UUID NULL,
  qty INT NULL CHECK (qty >= 0),
  parent_id INT NULL REFERENCES parent (parent_id),
  `odd name é` VARCHAR(20) NULL
) CHARACTER SET utf8mb4;
INSERT INTO kinds (id, name) VALUES (1, 'all null');
INSERT INTO kinds VALUES (2, '  padded  ', ' lead and trail ', ' a ', -128, 65535, 8388607, 9223372036854775807,
  12.5, 0.1, 1.5, 1, '2006-02-14', '1996-07-04 00:00:00', '2020-01-01 10:00:00', '10:00:00', 2155, 'ab ',
  'sad', 'red,blue', '{"a": [1, 2], "b": "ü"}', b'1010', ST_GeomFromText('LINESTRING(0 0,1 1)'),
  ST_GeomFromText('POINT(1 2)'), x'00ff', x'0102', '123e4567-e89b-12d3-a456-426614174000', 3, 1, 'Zürich ✓');
INSERT INTO kinds (id, name, note, code, price, yr, mood, tags, doc, qty, parent_id, `odd name é`)
  VALUES (3, ' ', '', '', -0.5, 1901, 'ok', '', '[]', 0, 2, '日本語');
INSERT INTO kinds (id, name, note, code, tags, born, at_time) VALUES
  (4, 'Line one\nline two', 'tab\tend', 'b', 'green', '2024-02-29', '23:59:59');
CREATE TABLE series (n INT NOT NULL PRIMARY KEY, label VARCHAR(10) NOT NULL);
INSERT INTO series SELECT seq, CONCAT('row ', seq % 4) FROM seq_1_to_45;
CREATE VIEW series_view AS SELECT label, n FROM series;
CREATE TABLE `Odd Table` (`Wert €` VARCHAR(10) NULL, `x y` INT NULL);
INSERT INTO `Odd Table` VALUES ('a', 1), ('a', 1), ('b', NULL);
