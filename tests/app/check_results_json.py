#!/usr/bin/env python3
"""Checks a folvi-cli --json document against its schema: check_results_json.py SCHEMA DOCUMENT PASSES

A small validator of the keywords the schema uses; one it does not know is an error, so nothing in
the schema is silently skipped. Then every combination must have run PASSES times.
"""
import json
import re
import sys

TYPES = {"null": type(None), "boolean": bool, "integer": int, "number": (int, float), "string": str, "array": list,
         "object": dict}
KNOWN = {"$comment", "$defs", "$ref", "type", "const", "enum", "pattern", "minimum", "maximum", "exclusiveMinimum",
         "properties", "required", "additionalProperties", "items", "minItems"}


def is_type(value, name):
    return isinstance(value, TYPES[name]) and (name in ("boolean", "null") or not isinstance(value, bool))


def same(a, b):
    return type(a) is type(b) and a == b


def validate(value, schema, root, where, errors):
    if set(schema) - KNOWN:
        raise ValueError("schema keywords not understood at %s: %s" % (where, sorted(set(schema) - KNOWN)))
    fail = lambda why: errors.append("%s: %r %s" % (where, value, why))
    if "$ref" in schema:
        node = root
        for part in schema["$ref"].lstrip("#/").split("/"):
            node = node[part]
        validate(value, node, root, where, errors)
    names = schema.get("type", [])
    names = names if isinstance(names, list) else [names]
    if names and not any(is_type(value, n) for n in names):
        return fail("is not " + " or ".join(names))
    if "const" in schema and not same(value, schema["const"]):
        fail("is not %r" % schema["const"])
    if "enum" in schema and not any(same(value, e) for e in schema["enum"]):
        fail("is not one of %r" % schema["enum"])
    if isinstance(value, str) and "pattern" in schema and not re.search(schema["pattern"], value):
        fail("does not match " + schema["pattern"])
    if is_type(value, "number"):
        if value < schema.get("minimum", value) or value > schema.get("maximum", value):
            fail("is out of range")
        if "exclusiveMinimum" in schema and value <= schema["exclusiveMinimum"]:
            fail("is not above %r" % schema["exclusiveMinimum"])
    if isinstance(value, dict):
        for key in schema.get("required", []):
            if key not in value:
                errors.append("%s: %s is missing" % (where, key))
        extra = schema.get("additionalProperties")
        for key, item in value.items():
            if key in schema.get("properties", {}):
                validate(item, schema["properties"][key], root, where + "." + key, errors)
            elif extra is False:
                errors.append("%s: %s is not expected" % (where, key))
            elif isinstance(extra, dict):
                validate(item, extra, root, where + "." + key, errors)
    if isinstance(value, list):
        if len(value) < schema.get("minItems", 0):
            fail("has fewer than %d items" % schema["minItems"])
        for i, item in enumerate(value if "items" in schema else []):
            validate(item, schema["items"], root, "%s[%d]" % (where, i), errors)


def main():
    schema = json.load(open(sys.argv[1], encoding="utf-8"))
    doc = json.load(open(sys.argv[2], encoding="ascii"))  # the document is plain ASCII
    errors = []
    validate(doc, schema, schema, "$", errors)
    for i, t in enumerate(doc.get("tests", []) if not errors else []):
        if len(t["passes"]) != int(sys.argv[3]):
            errors.append("tests[%d]: %d passes, not %s" % (i, len(t["passes"]), sys.argv[3]))
    for e in errors[:20]:
        print("JSON: " + e)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
