// The JDBC work of the JDBC connection method, called from C++ through JNI.
// Each driver jar is loaded by its own class loader, so the jars can be named
// after the Java runtime has started; the driver is then called directly
// rather than through DriverManager, which only trusts the system class path.
// Results are plain strings: rows of String[] that the C++ side maps to its
// driver tables. Failures are thrown; the caller reads describe(exception).

import java.io.File;
import java.net.URL;
import java.net.URLClassLoader;
import java.sql.Connection;
import java.sql.DatabaseMetaData;
import java.sql.Driver;
import java.sql.PreparedStatement;
import java.sql.ResultSet;
import java.sql.ResultSetMetaData;
import java.sql.SQLException;
import java.util.ArrayList;
import java.util.HashMap;
import java.util.List;
import java.util.Map;
import java.util.Properties;
import java.util.ServiceLoader;
import java.util.TreeMap;

public final class ZantrelJdbc {
  private static final Map<String, ClassLoader> loaders = new HashMap<>();
  private static final int LOGIN_TIMEOUT_SECONDS = 10;

  private ZantrelJdbc() {}

  // Opens a connection with the driver in the jar that accepts the URL. A MySQL
  // Connector/J jar does not know jdbc:mariadb:, so that scheme falls back to jdbc:mysql:.
  public static Connection connect(String jar, String url, String user, String password) throws Exception {
    Driver driver = driverFor(jar, url);
    String accepted = url;
    if (driver == null && url.startsWith("jdbc:mariadb:")) {
      accepted = "jdbc:mysql:" + url.substring("jdbc:mariadb:".length());
      driver = driverFor(jar, accepted);
    }
    if (driver == null) throw new SQLException(jar + " holds no JDBC driver that accepts " + url);
    Properties props = new Properties();
    if (!user.isEmpty()) props.setProperty("user", user);
    if (!password.isEmpty()) props.setProperty("password", password);
    java.sql.DriverManager.setLoginTimeout(LOGIN_TIMEOUT_SECONDS);
    Connection c = driver.connect(accepted, props);
    if (c == null) throw new SQLException("the driver in " + jar + " refused " + url);
    return c;
  }

  private static synchronized Driver driverFor(String jar, String url) throws Exception {
    ClassLoader loader = loaders.get(jar);
    if (loader == null) {
      File file = new File(jar);
      if (!file.isFile()) throw new SQLException("JDBC driver jar not found: " + jar);
      loader = new URLClassLoader(new URL[] {file.toURI().toURL()}, ZantrelJdbc.class.getClassLoader());
      loaders.put(jar, loader);
    }
    for (java.util.Iterator<Driver> it = ServiceLoader.load(Driver.class, loader).iterator();;) {
      Driver d;
      try {
        if (!it.hasNext()) return null;
        d = it.next();
      } catch (Throwable broken) {  // a listed driver class that cannot load
        continue;
      }
      if (d.getClass().getClassLoader() == loader && d.acceptsURL(url)) return d;
    }
  }

  public static void close(Connection c) {
    try {
      c.close();
    } catch (Throwable ignored) {
    }
  }

  // The text of an exception and its causes, for the error the user reads.
  public static String describe(Throwable t) {
    StringBuilder out = new StringBuilder();
    for (Throwable e = t; e != null && out.length() < 2000; e = e.getCause()) {
      String m = e.getMessage() != null ? e.getMessage() : e.toString();
      if (out.indexOf(m) >= 0) continue;
      if (out.length() > 0) out.append(": ");
      out.append(m);
    }
    return out.toString();
  }

  public static String quoteString(Connection c) throws SQLException {
    String q = c.getMetaData().getIdentifierQuoteString();
    return q == null || q.trim().isEmpty() ? "" : q.trim();
  }

  // The server's databases; servers without catalogs (Oracle) list their schemas.
  public static String[] databaseNames(Connection c) throws SQLException {
    List<String> names = column(c.getMetaData().getCatalogs(), "TABLE_CAT");
    if (names.isEmpty()) names = column(c.getMetaData().getSchemas(), "TABLE_SCHEM");
    return names.toArray(new String[0]);
  }

  // One row per column of every table and view, tables in name order, columns
  // in their order: table, "TABLE" or "VIEW", column, DATA_TYPE, TYPE_NAME,
  // COLUMN_SIZE, DECIMAL_DIGITS, nullable ("1"/"0"), COLUMN_DEF ("NULL" when
  // none), IS_AUTOINCREMENT. table "" means all; schema "" the connection's own.
  public static String[][] columns(Connection c, String schema, String table) throws SQLException {
    DatabaseMetaData md = c.getMetaData();
    String catalog = c.getCatalog();
    String owner = schemaOf(c, schema);
    String pattern = table.isEmpty() ? "%" : escape(md, table);
    Map<String, String> kinds = new TreeMap<>();
    try (ResultSet rs = md.getTables(catalog, owner, pattern, null)) {
      while (rs.next()) {
        String name = rs.getString("TABLE_NAME");
        String kind = tableKind(rs.getString("TABLE_TYPE"));
        if (kind != null && (table.isEmpty() || name.equals(table))) kinds.put(name, kind);
      }
    }
    Map<String, List<String[]>> byTable = new TreeMap<>();
    try (ResultSet rs = md.getColumns(catalog, owner, pattern, "%")) {
      while (rs.next()) {
        String name = rs.getString("TABLE_NAME");
        String kind = kinds.get(name);
        if (kind == null) continue;
        String def = rs.getString("COLUMN_DEF");
        byTable.computeIfAbsent(name, k -> new ArrayList<>()).add(new String[] {
            name, kind, rs.getString("COLUMN_NAME"), text(rs.getInt("DATA_TYPE")), rs.getString("TYPE_NAME"),
            text(rs.getInt("COLUMN_SIZE")), text(rs.getInt("DECIMAL_DIGITS")),
            rs.getInt("NULLABLE") == DatabaseMetaData.columnNoNulls ? "0" : "1", def == null ? "NULL" : def,
            autoIncrement(rs)});
      }
    }
    List<String[]> rows = new ArrayList<>();
    for (List<String[]> columns : byTable.values()) rows.addAll(columns);
    return rows.toArray(new String[0][]);
  }

  // The keys of one table: ("P", column) in key order for the primary key,
  // then ("U", column) for each unique index of one column.
  public static String[][] keys(Connection c, String schema, String table) throws SQLException {
    DatabaseMetaData md = c.getMetaData();
    String catalog = c.getCatalog();
    String owner = schemaOf(c, schema);
    List<String[]> rows = new ArrayList<>();
    Map<Integer, String> primary = new TreeMap<>();
    try (ResultSet rs = md.getPrimaryKeys(catalog, owner, table)) {
      while (rs.next())
        if (table.equals(rs.getString("TABLE_NAME"))) primary.put(rs.getInt("KEY_SEQ"), rs.getString("COLUMN_NAME"));
    }
    for (String column : primary.values()) rows.add(new String[] {"P", column});
    Map<String, List<String>> indexes = new TreeMap<>();
    try (ResultSet rs = md.getIndexInfo(catalog, owner, table, true, true)) {
      while (rs.next()) {
        String index = rs.getString("INDEX_NAME");
        String column = rs.getString("COLUMN_NAME");
        if (index == null || column == null || rs.getBoolean("NON_UNIQUE")) continue;
        if (rs.getShort("TYPE") == DatabaseMetaData.tableIndexStatistic) continue;
        if (!table.equals(rs.getString("TABLE_NAME"))) continue;
        indexes.computeIfAbsent(index, k -> new ArrayList<>()).add(column);
      }
    }
    for (List<String> columns : indexes.values())
      if (columns.size() == 1) rows.add(new String[] {"U", columns.get(0)});
    return rows.toArray(new String[0][]);
  }

  // The columns of a SELECT from the prepared statement's metadata, never run:
  // label, source table, source column, DATA_TYPE, TYPE_NAME, precision, nullable.
  public static String[][] resultColumns(Connection c, String sql) throws SQLException {
    try (PreparedStatement ps = c.prepareStatement(sql)) {
      ResultSetMetaData m = ps.getMetaData();
      if (m == null || m.getColumnCount() == 0) throw new SQLException("not a SELECT statement");
      List<String[]> rows = new ArrayList<>();
      for (int i = 1; i <= m.getColumnCount(); ++i) {
        String table = baseName(m, "getBaseTableName", i, m.getTableName(i));
        String column = table.isEmpty() ? "" : baseName(m, "getBaseColumnName", i, m.getColumnName(i));
        rows.add(new String[] {m.getColumnLabel(i), table, column, text(m.getColumnType(i)), m.getColumnTypeName(i),
                               text(m.getPrecision(i)),
                               m.isNullable(i) == ResultSetMetaData.columnNoNulls ? "0" : "1"});
      }
      return rows.toArray(new String[0][]);
    }
  }

  // The rows of a catalogue query; a "?" in it takes the schema.
  public static String[][] query(Connection c, String sql, String schema) throws SQLException {
    try (PreparedStatement ps = c.prepareStatement(sql)) {
      if (sql.indexOf('?') >= 0) ps.setString(1, schema);
      try (ResultSet rs = ps.executeQuery()) {
        int n = rs.getMetaData().getColumnCount();
        List<String[]> rows = new ArrayList<>();
        while (rs.next()) {
          String[] row = new String[n];
          for (int i = 0; i < n; ++i) row[i] = rs.getString(i + 1);
          rows.add(row);
        }
        return rows.toArray(new String[0][]);
      }
    }
  }

  // A driver's own base-name accessor (PostgreSQL's), else the standard answer.
  private static String baseName(ResultSetMetaData m, String method, int column, String standard) {
    try {
      Object v = m.getClass().getMethod(method, int.class).invoke(m, column);
      if (v instanceof String && !((String) v).isEmpty()) return (String) v;
    } catch (Throwable notThere) {
    }
    return standard == null ? "" : standard;
  }

  private static String schemaOf(Connection c, String schema) {
    if (!schema.isEmpty()) return schema;
    try {
      return c.getSchema();
    } catch (Throwable old) {  // drivers before JDBC 4.1
      return null;
    }
  }

  // "TABLE" and "VIEW" for user tables and views; null for system objects,
  // sequences, indexes and temporary tables.
  private static String tableKind(String type) {
    if (type == null) return null;
    String t = type.toUpperCase();
    if (t.contains("SYSTEM") || t.contains("TEMPORARY")) return null;
    if (t.contains("VIEW")) return "VIEW";
    if (t.equals("TABLE") || t.equals("BASE TABLE") || t.equals("PARTITIONED TABLE")) return "TABLE";
    return null;
  }

  private static String autoIncrement(ResultSet rs) {
    try {
      return "YES".equalsIgnoreCase(rs.getString("IS_AUTOINCREMENT")) ? "1" : "0";
    } catch (SQLException old) {
      return "0";
    }
  }

  private static String escape(DatabaseMetaData md, String name) throws SQLException {
    String esc = md.getSearchStringEscape();
    if (esc == null || esc.isEmpty()) return name;
    return name.replace(esc, esc + esc).replace("%", esc + "%").replace("_", esc + "_");
  }

  private static List<String> column(ResultSet rs, String name) throws SQLException {
    List<String> out = new ArrayList<>();
    try (ResultSet r = rs) {
      while (r.next()) out.add(r.getString(name));
    }
    return out;
  }

  private static String text(int n) {
    return Integer.toString(n);
  }
}
