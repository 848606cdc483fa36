#!/usr/bin/env python3
"""Puts N made-up rows into a vorlane-scores database whose schema the server has
made, fast enough for tens of millions: the rows are made by the database itself in
one statement, with the table's indexes and count triggers set aside while they go
in and put back after; the counts (per score and per period) are left for the
server to build at its next start (as for a database from before them).

  depth_rows.py sqlite PATH N     (Python's sqlite3)
  depth_rows.py sql N             (prints the same for PostgreSQL, for psql)

Rows: names P0..P1999999, ten countries, scores 0..2,000,000 in steps of 5, a tenth
of the rows in the last 24 hours and the rest spread over the year before, one row
in a hundred verified."""
import sqlite3
import sys
import time

now = int(time.time())


def sqlite_load(path, count):
    db = sqlite3.connect(path, isolation_level=None)
    db.execute("PRAGMA journal_mode = DELETE")
    db.execute("PRAGMA synchronous = OFF")
    db.execute("PRAGMA cache_size = -1000000")
    db.execute("PRAGMA temp_store = MEMORY")
    kept = db.execute("SELECT name, sql FROM sqlite_master WHERE tbl_name = 'scores' AND type IN ('index', 'trigger')"
                      " AND sql IS NOT NULL").fetchall()
    db.execute("BEGIN")
    for name, sql in kept:
        db.execute(("DROP TRIGGER " if sql.upper().startswith("CREATE TRIGGER") else "DROP INDEX ") + name)
    db.execute(f"""
        WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < {count})
        INSERT INTO scores (name, country, score, submitted_at, client_hash, verified)
        SELECT 'P' || (abs(random()) % 2000000),
               CASE abs(random()) % 10 WHEN 0 THEN '_______' WHEN 1 THEN 'Germany' WHEN 2 THEN 'France'
                 WHEN 3 THEN 'Poland' WHEN 4 THEN 'Sweden' WHEN 5 THEN 'Brazil' WHEN 6 THEN 'Japan'
                 WHEN 7 THEN 'Canada' WHEN 8 THEN 'Italy' ELSE 'Spain' END,
               (abs(random()) % 400001) * 5,
               CASE WHEN i % 10 = 0 THEN {now} - 60 - abs(random()) % 86000
                    ELSE {now} - 86400 - abs(random()) % (365 * 86400) END,
               hex(randomblob(16)), i % 100 = 0
        FROM n""")
    for name, sql in kept:
        db.execute(sql)
    db.execute("DELETE FROM settings WHERE key IN ('rank_counts', 'period_counts')")
    db.execute("COMMIT")
    db.execute("PRAGMA journal_mode = WAL")
    print(db.execute("SELECT max(id) FROM scores").fetchone()[0])
    db.close()


def pg_sql(count):
    # Triggers off for the load (session_replication_role), the indexes built after.
    print(f"""\\set ON_ERROR_STOP on
SET session_replication_role = replica;
SET maintenance_work_mem = '1GB';
CREATE TEMP TABLE kept AS SELECT indexname, indexdef FROM pg_indexes
  WHERE tablename = 'scores' AND indexname <> 'scores_pkey';
DO $$ DECLARE r record; BEGIN FOR r IN SELECT indexname FROM kept LOOP EXECUTE 'DROP INDEX ' || r.indexname; END LOOP; END $$;
INSERT INTO scores (name, country, score, submitted_at, client_hash, verified)
SELECT 'P' || (random() * 1999999)::bigint,
       (ARRAY['_______','Germany','France','Poland','Sweden','Brazil','Japan','Canada','Italy','Spain'])[1 + (random() * 9)::int],
       (random() * 400000)::bigint * 5,
       CASE WHEN i % 10 = 0 THEN {now} - 60 - (random() * 86000)::bigint
            ELSE {now} - 86400 - (random() * 365 * 86400)::bigint END,
       md5(i::text), i % 100 = 0
FROM generate_series(1, {count}) AS i;
DO $$ DECLARE r record; BEGIN FOR r IN SELECT indexdef FROM kept LOOP EXECUTE r.indexdef; END LOOP; END $$;
DELETE FROM settings WHERE key IN ('rank_counts', 'period_counts');
VACUUM ANALYZE scores;
SELECT max(id) FROM scores;""")


if sys.argv[1] == "sqlite":
    sqlite_load(sys.argv[2], int(sys.argv[3]))
else:
    pg_sql(int(sys.argv[2]))
