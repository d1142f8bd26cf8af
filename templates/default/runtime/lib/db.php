<?php
// The database connection: PDO for SQLite, MySQL/MariaDB and PostgreSQL.
// Every value goes to the database as a bound parameter; every name is quoted
// for the driver by quote().
declare(strict_types=1);

namespace Zt;

// A binary value to bind as a large object.
final class Blob
{
    public function __construct(public string $data)
    {
    }
}

final class Db
{
    private function __construct(public \PDO $pdo, public string $driver, private ?string $log)
    {
    }

    // $log: a file that receives the text of every statement (never the values), for tracing.
    public static function connect(array $c, ?string $log = null): Db
    {
        $driver = $c['driver'] ?? 'sqlite';
        $options = [
            \PDO::ATTR_ERRMODE => \PDO::ERRMODE_EXCEPTION,
            \PDO::ATTR_DEFAULT_FETCH_MODE => \PDO::FETCH_ASSOC,
            \PDO::ATTR_EMULATE_PREPARES => false,
        ];
        switch ($driver) {
            case 'sqlite':
                $pdo = new \PDO('sqlite:' . app_path($c['path']), null, null, $options);
                $pdo->exec('PRAGMA foreign_keys = ON');
                break;
            case 'mysql':
                $dsn = sprintf('mysql:host=%s;port=%d;dbname=%s;charset=utf8mb4',
                    $c['host'] ?? '127.0.0.1', (int)($c['port'] ?? 3306), $c['name']);
                $pdo = new \PDO($dsn, $c['user'] ?? null, $c['password'] ?? null, $options);
                break;
            case 'pgsql':
                $dsn = sprintf('pgsql:host=%s;port=%d;dbname=%s',
                    $c['host'] ?? '127.0.0.1', (int)($c['port'] ?? 5432), $c['name']);
                $pdo = new \PDO($dsn, $c['user'] ?? null, $c['password'] ?? null, $options);
                break;
            default:
                throw new \LogicException("unknown database driver '$driver'");
        }
        return new Db($pdo, $driver, $log);
    }

    // A table or column name quoted for this driver; a dotted name is quoted per part.
    public function quote(string $name): string
    {
        $q = $this->driver === 'mysql' ? '`' : '"';
        $parts = array_map(static fn($p) => $q . str_replace($q, $q . $q, $p) . $q, explode('.', $name));
        return implode('.', $parts);
    }

    public function run(string $sql, array $params = []): \PDOStatement
    {
        if ($this->log !== null) {
            file_put_contents($this->log, $sql . "\n", FILE_APPEND | LOCK_EX);
        }
        $st = $this->pdo->prepare($sql);
        $i = 0;
        foreach ($params as $value) {
            $i++;
            if ($value instanceof Blob) {
                $st->bindValue($i, $value->data, \PDO::PARAM_LOB);
            } elseif (is_bool($value)) {
                $this->driver === 'pgsql'
                    ? $st->bindValue($i, $value, \PDO::PARAM_BOOL)
                    : $st->bindValue($i, (int)$value, \PDO::PARAM_INT);
            } elseif (is_int($value)) {
                $st->bindValue($i, $value, \PDO::PARAM_INT);
            } elseif ($value === null) {
                $st->bindValue($i, null, \PDO::PARAM_NULL);
            } else {
                $st->bindValue($i, (string)$value, \PDO::PARAM_STR);
            }
        }
        $st->execute();
        return $st;
    }

    public function all(string $sql, array $params = []): array
    {
        return array_map([self::class, 'plainRow'], $this->run($sql, $params)->fetchAll());
    }

    public function one(string $sql, array $params = []): ?array
    {
        $row = $this->run($sql, $params)->fetch();
        return $row === false ? null : self::plainRow($row);
    }

    public function value(string $sql, array $params = []): mixed
    {
        $v = $this->run($sql, $params)->fetchColumn();
        return $v === false ? null : self::plainValue($v);
    }

    // LIMIT/OFFSET with integers only, the same on all three databases.
    public function limit(int $count, int $offset): string
    {
        return ' LIMIT ' . max(0, $count) . ' OFFSET ' . max(0, $offset);
    }

    // Text of any column, for LIKE comparisons.
    public function asText(string $quotedColumn): string
    {
        return $this->driver === 'mysql' ? $quotedColumn : 'CAST(' . $quotedColumn . ' AS VARCHAR(4000))';
    }

    // PostgreSQL hands large objects out as streams.
    public static function plainValue(mixed $v): mixed
    {
        return is_resource($v) ? stream_get_contents($v) : $v;
    }

    public static function plainRow(array $row): array
    {
        return array_map([self::class, 'plainValue'], $row);
    }
}
