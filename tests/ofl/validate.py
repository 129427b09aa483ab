#!/usr/bin/env python3
"""Validates fixture files against the Open Fixture Library's schema: validate.py SCHEMA_DIR FILE...

The schema files are the only store: every reference resolves among them, nothing is fetched.
"""
import json
import pathlib
import sys

import jsonschema

schemas = {}
for path in pathlib.Path(sys.argv[1]).glob("*.json"):
    schema = json.loads(path.read_text(encoding="utf-8"))
    if "$id" in schema:
        schemas[schema["$id"]] = schema
fixture = next(s for s in schemas.values() if s["$id"].endswith("/fixture.json"))
cls = jsonschema.validators.validator_for(fixture)
try:
    from referencing import Registry, Resource

    registry = Registry().with_resources((uri, Resource.from_contents(s)) for uri, s in schemas.items())
    validator = cls(fixture, registry=registry)
except ImportError:  # the jsonschema of Debian 12 resolves through a store
    resolver = jsonschema.RefResolver.from_schema(fixture, store=schemas)
    validator = cls(fixture, resolver=resolver)

failed = 0
for name in sys.argv[2:]:
    for error in validator.iter_errors(json.loads(pathlib.Path(name).read_text(encoding="utf-8"))):
        print(f"{name}: {error.json_path}: {error.message}", file=sys.stderr)
        failed = 1
sys.exit(failed)
