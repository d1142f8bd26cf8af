-- The test schema in MariaDB/MySQL: the shared expectations plus ENUM and SET.
CREATE TABLE type_zoo (
  id INT AUTO_INCREMENT PRIMARY KEY,
  small_n SMALLINT,
  big_n BIGINT,
  price DECIMAL(10,2),
  ratio FLOAT,
  score DOUBLE,
  flag BOOLEAN,
  born DATE,
  created DATETIME,
  alarm TIME,
  code CHAR(4),
  title VARCHAR(40) NOT NULL,
  body TEXT,
  data BLOB,
  uid UUID,
  doc JSON,
  status VARCHAR(10) DEFAULT 'new',
  email VARCHAR(60) UNIQUE
) DEFAULT CHARSET=utf8mb4;
CREATE TABLE customers (
  customer_id INT AUTO_INCREMENT PRIMARY KEY,
  name VARCHAR(50) NOT NULL,
  city VARCHAR(30)
) DEFAULT CHARSET=utf8mb4;
CREATE TABLE orders (
  order_id INT AUTO_INCREMENT PRIMARY KEY,
  customer_id INT NOT NULL,
  placed DATE
) DEFAULT CHARSET=utf8mb4;
CREATE TABLE `order items` (
  order_id INT NOT NULL,
  item_no INT NOT NULL,
  `größe` VARCHAR(20),
  qty INT DEFAULT 1,
  PRIMARY KEY (order_id, item_no)
) DEFAULT CHARSET=utf8mb4;
CREATE TABLE log_entries (
  at DATETIME,
  message TEXT
) DEFAULT CHARSET=utf8mb4;
CREATE TABLE choices (
  id INT AUTO_INCREMENT PRIMARY KEY,
  yes_no ENUM('Y','N') NOT NULL DEFAULT 'Y',
  abc ENUM('a','b','c'),
  tags SET('red','green'),
  tiny_n TINYINT UNSIGNED
) DEFAULT CHARSET=utf8mb4;
CREATE VIEW v_titles AS SELECT id, title FROM type_zoo;
