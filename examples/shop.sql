-- The Zantrel demo database: a small shop. Written for SQLite;
-- shop-dialect.py rewrites it for MariaDB and PostgreSQL.
-- Customers log in to the demo with their e-mail; Ada's password is stored
-- hashed ("ada-secret"), Alan's as plain text ("plain-secret", hashed on his
-- first login). The level says what a login may do: Barbara is staff
-- ("staff-secret"), Donald an administrator ("donald-secret"), the others customers.
CREATE TABLE categories (
  category_id INTEGER PRIMARY KEY,
  name VARCHAR(60) NOT NULL UNIQUE,
  description TEXT
);
CREATE TABLE products (
  product_id INTEGER PRIMARY KEY,
  category_id INTEGER NOT NULL,
  name VARCHAR(80) NOT NULL,
  price DECIMAL(10,2) NOT NULL DEFAULT 0,
  stock INTEGER NOT NULL DEFAULT 0,
  active BOOLEAN NOT NULL DEFAULT TRUE,
  image BLOB,
  notes TEXT,
  added_on DATE,
  sheet VARCHAR(100),
  FOREIGN KEY (category_id) REFERENCES categories(category_id)
);
CREATE TABLE customers (
  customer_id INTEGER PRIMARY KEY,
  name VARCHAR(80) NOT NULL,
  email VARCHAR(120) NOT NULL UNIQUE,
  password VARCHAR(255),
  city VARCHAR(60),
  joined_at DATETIME,
  level VARCHAR(20) DEFAULT 'customer'
);
CREATE TABLE orders (
  order_id INTEGER PRIMARY KEY,
  customer_id INTEGER NOT NULL,
  order_date DATE NOT NULL,
  order_time TIME,
  status VARCHAR(20) NOT NULL DEFAULT 'new',
  note TEXT,
  FOREIGN KEY (customer_id) REFERENCES customers(customer_id)
);
CREATE TABLE order_items (
  order_id INTEGER NOT NULL,
  product_id INTEGER NOT NULL,
  quantity INTEGER NOT NULL DEFAULT 1,
  unit_price DECIMAL(10,2) NOT NULL,
  PRIMARY KEY (order_id, product_id),
  FOREIGN KEY (order_id) REFERENCES orders(order_id),
  FOREIGN KEY (product_id) REFERENCES products(product_id)
);
CREATE VIEW product_sales AS
SELECT p.product_id, p.name AS product, c.name AS category,
  SUM(i.quantity) AS quantity, SUM(i.quantity * i.unit_price) AS revenue
FROM products p
JOIN categories c ON c.category_id = p.category_id
JOIN order_items i ON i.product_id = p.product_id
GROUP BY p.product_id, p.name, c.name;
CREATE VIEW product_stock AS
SELECT product_id, name, stock FROM products WHERE active = TRUE;

INSERT INTO categories (category_id, name, description) VALUES
  (1, 'Tea', 'Loose leaf and bagged teas.'),
  (2, 'Coffee', 'Beans and ground coffee,
roasted weekly.'),
  (3, 'Cups', 'Mugs, cups and saucers.'),
  (4, 'Kettles', 'Stove-top and electric kettles.'),
  (5, 'Snacks', 'Biscuits and small cakes.'),
  (6, 'Gifts', 'Boxes and vouchers.');
INSERT INTO products (product_id, category_id, name, price, stock, active, image, notes, added_on) VALUES
  (1, 1, 'Green tea', 4.50, 37, TRUE, X'89504E470D0A1A0A0000000D4948445200000004000000040802000000269309290000001049444154789C63B0596003470CC47100C7431181E19A84B50000000049454E44AE426082', NULL, '2024-02-04'),
  (2, 1, 'Black tea', 3.90, 74, TRUE, X'89504E470D0A1A0A0000000D4948445200000004000000040802000000269309290000001049444154789C63B0093801470CC4710020121541C2B708570000000049454E44AE426082', 'Popular item #2', '2024-03-07'),
  (3, 1, 'Mint tea', 4.20, 111, TRUE, X'89504E470D0A1A0A0000000D4948445200000004000000040802000000269309290000001149444154789C63B8B345038E1888E30000D6921B811ECFCEB80000000049454E44AE426082', 'Batch 003.
Store dry and cool.', '2024-04-10'),
  (4, 1, 'Earl Grey', 5.10, 28, TRUE, X'89504E470D0A1A0A0000000D4948445200000004000000040802000000269309290000001049444154789C6338616303470CC47100111214016EBA81930000000049454E44AE426082', NULL, '2024-05-13'),
  (5, 1, 'Chamomile', 3.60, 65, TRUE, X'89504E470D0A1A0A0000000D4948445200000004000000040802000000269309290000001049444154789C63B0596003470CC47100C7431181E19A84B50000000049454E44AE426082', 'Popular item #5', '2024-06-16'),
  (6, 2, 'Espresso beans', 9.80, 102, TRUE, X'89504E470D0A1A0A0000000D4948445200000004000000040802000000269309290000001049444154789C63B0093801470CC4710020121541C2B708570000000049454E44AE426082', 'Batch 006.
Store dry and cool.', '2024-07-19'),
  (7, 2, 'Filter coffee', 7.40, 19, FALSE, X'89504E470D0A1A0A0000000D4948445200000004000000040802000000269309290000001149444154789C63B8B345038E1888E30000D6921B811ECFCEB80000000049454E44AE426082', NULL, '2024-08-22'),
  (8, 2, 'Decaf beans', 8.90, 56, TRUE, X'89504E470D0A1A0A0000000D4948445200000004000000040802000000269309290000001049444154789C6338616303470CC47100111214016EBA81930000000049454E44AE426082', 'Popular item #8', '2024-09-25'),
  (9, 2, 'Mocha blend', 10.50, 93, TRUE, NULL, 'Batch 009.
Store dry and cool.', '2024-10-28'),
  (10, 3, 'White mug', 6.00, 10, TRUE, NULL, NULL, '2024-11-03'),
  (11, 3, 'Blue cup and saucer', 8.50, 47, TRUE, NULL, 'Popular item #11', '2024-12-06'),
  (12, 3, 'Travel mug', 12.90, 84, TRUE, NULL, 'Batch 012.
Store dry and cool.', '2024-01-09'),
  (13, 3, 'Glass cup', 5.50, 1, TRUE, NULL, NULL, '2024-02-12'),
  (14, 4, 'Steel kettle', 29.00, 38, FALSE, NULL, 'Popular item #14', '2024-03-15'),
  (15, 4, 'Electric kettle', 39.90, 75, TRUE, NULL, 'Batch 015.
Store dry and cool.', '2024-04-18'),
  (16, 4, 'Gooseneck kettle', 45.00, 112, TRUE, NULL, NULL, '2024-05-21'),
  (17, 5, 'Oat biscuits', 2.80, 29, TRUE, NULL, 'Popular item #17', '2024-06-24'),
  (18, 5, 'Lemon cake', 4.90, 66, TRUE, NULL, 'Batch 018.
Store dry and cool.', '2024-07-27'),
  (19, 5, 'Almond cookies', 3.40, 103, TRUE, NULL, NULL, '2024-08-02'),
  (20, 5, 'Shortbread', 3.10, 20, TRUE, NULL, 'Popular item #20', '2024-09-05'),
  (21, 6, 'Tea sampler box', 19.90, 57, FALSE, NULL, 'Batch 021.
Store dry and cool.', '2024-10-08'),
  (22, 6, 'Gift voucher 25', 25.00, 94, TRUE, NULL, NULL, '2024-11-11'),
  (23, 6, 'Coffee lover box', 34.50, 11, TRUE, NULL, 'Popular item #23', '2024-12-14'),
  (24, 6, 'Mug and tea set', 22.00, 48, TRUE, NULL, 'Batch 024.
Store dry and cool.', '2024-01-17');
INSERT INTO customers (customer_id, name, email, password, city, joined_at) VALUES
  (1, 'Ada Lovelace', 'ada@example.com', '$2y$10$KUf90.BP9YXVtoHQEs9hi.8Cy6130k8kTWtfA62IMNxokwGsM.PEe', 'London', '2023-01-01 08:00:00'),
  (2, 'Alan Turing', 'alan@example.com', 'plain-secret', 'Manchester', '2023-02-06 09:07:00'),
  (3, 'Grace Hopper', 'grace@example.com', NULL, 'New York', '2023-03-11 10:14:00'),
  (4, 'Edsger Dijkstra', 'edsger@example.com', NULL, 'Austin', '2023-04-16 11:21:00'),
  (5, 'Barbara Liskov', 'barbara@example.com', NULL, 'Boston', '2023-05-21 12:28:00'),
  (6, 'Donald Knuth', 'donald@example.com', NULL, 'Stanford', '2023-06-26 13:35:00'),
  (7, 'Margaret Hamilton', 'margaret@example.com', NULL, 'Boston', '2023-07-03 14:42:00'),
  (8, 'Ken Thompson', 'ken@example.com', NULL, 'Berkeley', '2023-08-08 15:49:00'),
  (9, 'Frances Allen', 'frances@example.com', NULL, 'New York', '2023-09-13 16:56:00'),
  (10, 'John Backus', 'john@example.com', NULL, 'Portland', '2023-10-18 17:03:00'),
  (11, 'Radia Perlman', 'radia@example.com', NULL, 'Seattle', '2023-11-23 18:10:00'),
  (12, 'Niklaus Wirth', 'niklaus@example.com', NULL, 'Zurich', '2023-12-28 19:17:00');
UPDATE customers SET level = 'staff', password = '$2y$10$FkkugT258bNAdrnsQk0iDOeoUnF.RJYOSU7eosjam11HC8bN.JyMC'
  WHERE customer_id = 5;
UPDATE customers SET level = 'admin', password = '$2y$10$ng5Dq3EJvriDgUilOemj3e//uNgpdSN19ev4GuTovsXdfbdxYDB02'
  WHERE customer_id = 6;
INSERT INTO orders (order_id, customer_id, order_date, order_time, status, note) VALUES
  (1, 6, '2024-05-03', '10:13:00', 'paid', NULL),
  (2, 11, '2024-06-05', '11:26:00', 'shipped', NULL),
  (3, 4, '2024-07-07', '12:39:00', 'delivered', NULL),
  (4, 9, '2024-08-09', '13:52:00', 'new', 'Leave at the door.
Ring twice.'),
  (5, 2, '2024-09-11', '14:05:00', 'paid', NULL),
  (6, 7, '2024-04-13', '15:18:00', 'shipped', NULL),
  (7, 12, '2024-05-15', '16:31:00', 'delivered', NULL),
  (8, 5, '2024-06-17', '17:44:00', 'new', 'Leave at the door.
Ring twice.'),
  (9, 10, '2024-07-19', '09:57:00', 'paid', NULL),
  (10, 3, '2024-08-21', '10:10:00', 'shipped', NULL),
  (11, 8, '2024-09-23', '11:23:00', 'delivered', NULL),
  (12, 1, '2024-04-25', '12:36:00', 'new', 'Leave at the door.
Ring twice.'),
  (13, 6, '2024-05-27', '13:49:00', 'paid', NULL),
  (14, 11, '2024-06-01', '14:02:00', 'shipped', NULL),
  (15, 4, '2024-07-03', '15:15:00', 'delivered', NULL),
  (16, 9, '2024-08-05', '16:28:00', 'new', 'Leave at the door.
Ring twice.'),
  (17, 2, '2024-09-07', '17:41:00', 'paid', NULL),
  (18, 7, '2024-04-09', '09:54:00', 'shipped', NULL),
  (19, 12, '2024-05-11', '10:07:00', 'delivered', NULL),
  (20, 5, '2024-06-13', '11:20:00', 'new', 'Leave at the door.
Ring twice.');
INSERT INTO order_items (order_id, product_id, quantity, unit_price) VALUES
  (1, 8, 2, 8.90),
  (1, 13, 3, 5.50),
  (1, 18, 4, 4.90),
  (2, 1, 4, 4.50),
  (2, 6, 1, 9.80),
  (2, 15, 2, 39.90),
  (2, 20, 3, 3.10),
  (3, 3, 3, 4.20),
  (3, 22, 2, 25.00),
  (4, 5, 2, 3.60),
  (4, 10, 3, 6.00),
  (4, 15, 4, 39.90),
  (5, 3, 1, 4.20),
  (5, 12, 2, 12.90),
  (5, 17, 3, 2.80),
  (5, 22, 4, 25.00),
  (6, 19, 2, 3.40),
  (6, 24, 3, 22.00),
  (7, 2, 2, 3.90),
  (7, 7, 3, 7.40),
  (7, 12, 4, 12.90),
  (8, 9, 2, 10.50),
  (8, 14, 3, 29.00),
  (8, 19, 4, 3.40),
  (8, 24, 1, 22.00),
  (9, 16, 2, 45.00),
  (9, 21, 3, 19.90),
  (10, 4, 3, 5.10),
  (10, 9, 4, 10.50),
  (10, 23, 2, 34.50),
  (11, 6, 2, 9.80),
  (11, 11, 3, 8.50),
  (11, 16, 4, 45.00),
  (11, 21, 1, 19.90),
  (12, 13, 2, 5.50),
  (12, 18, 3, 4.90),
  (13, 1, 3, 4.50),
  (13, 6, 4, 9.80),
  (13, 20, 2, 3.10),
  (14, 3, 2, 4.20),
  (14, 8, 3, 8.90),
  (14, 13, 4, 5.50),
  (14, 18, 1, 4.90),
  (15, 10, 2, 6.00),
  (15, 15, 3, 39.90),
  (16, 3, 4, 4.20),
  (16, 17, 2, 2.80),
  (16, 22, 3, 25.00),
  (17, 5, 3, 3.60),
  (17, 10, 4, 6.00),
  (17, 15, 1, 39.90),
  (17, 24, 2, 22.00),
  (18, 7, 2, 7.40),
  (18, 12, 3, 12.90),
  (19, 14, 2, 29.00),
  (19, 19, 3, 3.40),
  (19, 24, 4, 22.00),
  (20, 2, 3, 3.90),
  (20, 7, 4, 7.40),
  (20, 12, 1, 12.90),
  (20, 21, 2, 19.90);
