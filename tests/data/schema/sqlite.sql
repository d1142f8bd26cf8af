-- The test schema in SQLite: every type family of the shared expectations,
-- a composite key, a table without a key, a view, names with spaces and
-- non-ASCII letters. The long text is a CLOB: SQLite's TEXT is its usual
-- string (see log_entries.message).
CREATE TABLE type_zoo (
  id INTEGER PRIMARY KEY,
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
  body CLOB,
  data BLOB,
  uid UUID,
  doc JSON,
  status VARCHAR(10) DEFAULT 'new',
  email VARCHAR(60) UNIQUE
);
CREATE TABLE customers (
  customer_id INTEGER PRIMARY KEY,
  name VARCHAR(50) NOT NULL,
  city VARCHAR(30)
);
CREATE TABLE orders (
  order_id INTEGER PRIMARY KEY,
  customer_id INTEGER NOT NULL REFERENCES customers(customer_id),
  placed DATE
);
CREATE TABLE "order items" (
  order_id INTEGER NOT NULL,
  item_no INTEGER NOT NULL,
  "größe" VARCHAR(20),
  qty INTEGER DEFAULT 1,
  PRIMARY KEY (order_id, item_no)
);
CREATE TABLE log_entries (
  at DATETIME,
  message TEXT
);
CREATE VIEW v_titles AS SELECT id, title FROM type_zoo;
