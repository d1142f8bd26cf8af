-- Every kind of PostgreSQL column, with NULLs, blanks, non-ASCII text, odd
-- names; a keyless view for paging and constraints for refusals.
CREATE TYPE mood AS ENUM ('happy', 'sad', 'ok');
CREATE TABLE parent (parent_id integer PRIMARY KEY, label varchar(20) NOT NULL);
INSERT INTO parent VALUES (1, 'one'), (2, 'two');
CREATE TABLE kinds (
  id serial PRIMARY KEY,
  name varchar(40) NOT NULL,
  note text,
  code varchar(5) UNIQUE,
  small smallint,
  big bigint,
  price numeric(4,2),
  ratio double precision,
  flt real,
  flag boolean,
  born date,
  seen timestamp,
  seen_tz timestamptz,
  at_time time,
  at_tz timetz,
  span interval,
  fixed char(3),
  feel mood,
  doc json,
  docb jsonb,
  nums integer[],
  words text[],
  cash money,
  uid uuid NOT NULL DEFAULT gen_random_uuid(),
  data bytea,
  addr inet,
  pt point,
  search tsvector,
  x xml,
  qty integer CHECK (qty >= 0),
  parent_id integer REFERENCES parent (parent_id),
  "odd name é" varchar(20)
);
INSERT INTO kinds (id, name) VALUES (1, 'all null');
INSERT INTO kinds VALUES (2, '  padded  ', ' lead and trail ', ' a ', -32768, 9223372036854775807, 12.5, 0.1, 1.5,
  true, '2006-02-14', '1996-07-04 00:00:00', '2020-01-01 10:00:00+02', '10:00:00', '10:00:00+02', '1 day 02:00',
  'ab', 'sad', '{"a": [1, 2], "b": "ü"}', '{"b": 1}', '{1,2,NULL}', '{"a b","c"}', 12.5,
  '123e4567-e89b-12d3-a456-426614174000', '\x00ff', '192.168.0.1/24', '(1,2)', 'fat cat', '<a>x</a>', 3, 1,
  'Zürich ✓');
INSERT INTO kinds (id, name, note, code, price, feel, doc, nums, words, data, qty, parent_id, "odd name é")
  VALUES (3, ' ', '', '', -0.5, 'ok', '[]', '{}', '{}', '', 0, 2, '日本語');
INSERT INTO kinds (id, name, note, code, born, at_time, span) VALUES
  (4, E'Line one\nline two', E'tab\tend', 'b', '2024-02-29', '23:59:59', '-3 months');
SELECT setval('kinds_id_seq', 10);
CREATE TABLE series (n integer NOT NULL PRIMARY KEY, label varchar(10) NOT NULL);
INSERT INTO series SELECT n, 'row ' || (n % 4) FROM generate_series(1, 45) n;
CREATE VIEW series_view AS SELECT label, n FROM series;
CREATE TABLE "Odd Table" ("Wert €" varchar(10), "x y" integer);
INSERT INTO "Odd Table" VALUES ('a', 1), ('a', 1), ('b', NULL);
CREATE TABLE tokens (token uuid PRIMARY KEY DEFAULT gen_random_uuid(), label varchar(20) NOT NULL);
INSERT INTO tokens (label) VALUES ('first');
