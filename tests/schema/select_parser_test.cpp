// The SELECT-list parser: each row is a SELECT, a result column name, and
// where that column comes from.
#include <gtest/gtest.h>

#include "schema/select_parser.h"

using namespace zantrel;

namespace {

struct Row {
  const char* sql;
  const char* field;
  bool found;
  bool alias;
  const char* sourceName;
  const char* table;
  const char* column;
};

const Row kRows[] = {
    {"SELECT id, name FROM customers", "name", true, false, "name", "customers", "name"},
    {"select c.name AS cname from customers c", "cname", true, true, "c.name", "customers", "name"},
    {"SELECT c.name cname FROM customers AS c", "cname", true, true, "c.name", "customers", "name"},
    {"SELECT \"order items\".qty FROM \"order items\"", "qty", true, false, "\"order items\".qty", "order items", "qty"},
    {"SELECT `größe` FROM `order items` oi", "größe", true, false, "`größe`", "order items", "größe"},
    {"SELECT [a b] AS [x y] FROM [t t]", "x y", true, true, "[a b]", "t t", "a b"},
    {"SELECT o.order_id, c.name FROM orders o JOIN customers c ON c.customer_id = o.customer_id", "order_id", true,
     false, "o.order_id", "orders", "order_id"},
    {"SELECT o.order_id, c.name FROM orders o LEFT OUTER JOIN customers c ON (c.customer_id = o.customer_id) WHERE 1=1",
     "name", true, false, "c.name", "customers", "name"},
    {"SELECT order_id FROM orders o, customers c", "order_id", true, false, "order_id", "", ""},
    {"SELECT count(*) AS n FROM orders", "n", true, true, "count(*)", "", ""},
    {"SELECT count(*) n FROM orders", "n", true, true, "count(*)", "", ""},
    {"SELECT price * 2 AS doubled FROM type_zoo", "doubled", true, true, "price * 2", "", ""},
    {"SELECT CASE WHEN flag THEN 1 ELSE 0 END FROM t", "x", false, false, "", "", ""},
    {"SELECT CASE WHEN flag THEN 1 ELSE 0 END AS f FROM t", "f", true, true, "CASE WHEN flag THEN 1 ELSE 0 END", "", ""},
    {"SELECT /* note, with comma */ id -- trailing, comment\n , title FROM type_zoo", "title", true, false, "title",
     "type_zoo", "title"},
    {"SELECT * FROM type_zoo", "id", false, false, "", "", ""},
    {"SELECT t.*, 1 AS one FROM type_zoo t", "one", true, true, "1", "", ""},
    {"SELECT DISTINCT city FROM public.customers", "city", true, false, "city", "customers", "city"},
    {"SELECT x.a FROM (SELECT a FROM t) x", "a", true, false, "x.a", "", ""},
    {"SELECT 'it''s' AS s FROM t", "s", true, true, "'it''s'", "", ""},
    {"SELECT coalesce(a, b) AS ab, c FROM t", "c", true, false, "c", "t", "c"},
    {"SELECT ID FROM t", "id", true, false, "ID", "t", "ID"},
};

TEST(SelectParser, FieldSources) {
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.sql);
    auto select = ParseSelect(r.sql);
    ASSERT_TRUE(select);
    auto source = GetFieldSource(*select, r.field);
    ASSERT_EQ(source.has_value(), r.found);
    if (!r.found) continue;
    EXPECT_EQ(source->alias, r.alias);
    EXPECT_EQ(source->sourceName, r.sourceName);
    EXPECT_EQ(source->sourceTable, r.table);
    EXPECT_EQ(source->sourceField, r.column);
  }
}

TEST(SelectParser, NotASelect) {
  for (const char* sql : {"", "UPDATE t SET a = 1", "SELECT", "SELECT , FROM t", "-- only a comment"})
    EXPECT_FALSE(ParseSelect(sql)) << sql;
}

TEST(SelectParser, FromTablesAndAliases) {
  auto select = ParseSelect("SELECT 1 FROM a AS x INNER JOIN b y USING (id) CROSS JOIN c, d ORDER BY 1");
  ASSERT_TRUE(select);
  std::string out;
  for (const FromTable& t : select->tables) out += t.name + ":" + t.alias + " ";
  EXPECT_EQ(out, "a:x b:y c: d: ");
}

}  // namespace
