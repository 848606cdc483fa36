#!/usr/bin/env python3
"""Puts N made-up rows straight into a vorlane-scores SQLite file whose schema the
server has made: names, countries, scores and times spread like a busy table."""
import random
import sqlite3
import sys
import time

path, count = sys.argv[1], int(sys.argv[2])
rng = random.Random(7)
letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
countries = ["_______", "Germany", "France", "Poland", "Sweden", "Brazil", "Japan", "Canada", "Italy", "Spain"]
now = int(time.time())

def rows():
    for i in range(count):
        name = "".join(rng.choice(letters) for _ in range(rng.randint(3, 10)))
        yield (name, rng.choice(countries), rng.randint(0, 400000) * 5, now - rng.randint(0, 365 * 86400),
               "%032x" % rng.getrandbits(128))

db = sqlite3.connect(path)
db.execute("PRAGMA journal_mode = WAL")
with db:
    db.executemany("INSERT INTO scores (name, country, score, submitted_at, client_hash) VALUES (?, ?, ?, ?, ?)", rows())
db.execute("PRAGMA wal_checkpoint(TRUNCATE)")
print(db.execute("SELECT count(*) FROM scores").fetchone()[0])
db.close()
