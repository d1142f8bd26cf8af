-- Every kind of column SQLite applications declare, with NULLs, blanks,
-- non-ASCII text, dates in several text forms and odd names; a keyless view
-- for paging and constraints for refusals.
CREATE TABLE parent (parent_id INTEGER PRIMARY KEY, label TEXT NOT NULL);
INSERT INTO parent VALUES (1, 'one'), (2, 'two');
CREATE TABLE kinds (
  id INTEGER PRIMARY KEY,
  name TEXT NOT NULL,
  note TEXT,
  code VARCHAR(5) UNIQUE,
  qty SMALLINT CHECK (qty IS NULL OR qty >= 0),
  big BIGINT,
  price DECIMAL(4,2),
  ratio REAL,
  flag BOOLEAN,
  born DATE,
  seen DATETIME,
  at_time TIME,
  doc JSON,
  data BLOB,
  parent_id INTEGER REFERENCES parent (parent_id),
  untyped,
  "odd name é" TEXT
);
INSERT INTO kinds (id, name) VALUES (1, 'all null');
INSERT INTO kinds VALUES (2, '  padded  ', ' lead and trail ', ' a ', 0, 9007199254740993, 12.5, 0.1, 1,
  '2006-02-14', '1996-07-04 00:00:00.000', '10:00', '{"a": [1, 2], "b": "ü"}', x'00ff', 1, 'x', 'Zürich ✓');
INSERT INTO kinds VALUES (3, ' ', '', '', NULL, -1, -0.5, NULL, 0,
  '2006-02-14 00:00:00', '2006-02-14', '10:00:00', '[]', x'', 2, 42, '日本語');
INSERT INTO kinds VALUES (4, 'Line one' || char(10) || 'line two', 'tab' || char(9) || 'end', 'b', 7, NULL, 99.99, 1e10, NULL,
  '2024-02-29', '2024-01-02T03:04:05', '23:59:59', 'null', NULL, NULL, NULL, '"quoted"');
CREATE TABLE series (n INTEGER NOT NULL PRIMARY KEY, label TEXT NOT NULL);
WITH RECURSIVE s(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM s WHERE n < 45)
INSERT INTO series SELECT n, 'row ' || (n % 4) FROM s;
CREATE VIEW series_view AS SELECT label, n FROM series;
CREATE TABLE "Odd Table" ("Wert €" TEXT, "x y" INTEGER);
INSERT INTO "Odd Table" VALUES ('a', 1), ('a', 1), ('b', NULL);
