#!/usr/bin/env python3
"""Checks a folvi-cli --json document against its schema and against itself.

usage: check_results_json.py SCHEMA DOCUMENT [PASSES]

The schema check is a small validator of the keywords the schema uses; a keyword it does not know
is an error, so nothing in the schema is silently skipped. Then the document's own rules: every
median lies within its spread, every combination ran PASSES times, the best and its ties point at
tests that say the same, a combination is marked when one of its passes is, every test that completed
has latencies in order (p50 <= p90 <= p99 <= p99.9 <= max, the mean not above the max) that are those of one
of its passes, and the best latency is the lowest p99 within 5% of the best rate.
"""
import json
import re
import sys

KNOWN = {"$comment", "$defs", "$ref", "type", "const", "enum", "pattern", "minimum", "maximum", "exclusiveMinimum",
         "properties", "required", "additionalProperties", "items", "minItems"}


def type_ok(value, name):
    if name == "null":
        return value is None
    if name == "boolean":
        return isinstance(value, bool)
    if name == "integer":
        return isinstance(value, int) and not isinstance(value, bool)
    if name == "number":
        return isinstance(value, (int, float)) and not isinstance(value, bool)
    if name == "string":
        return isinstance(value, str)
    if name == "array":
        return isinstance(value, list)
    if name == "object":
        return isinstance(value, dict)
    raise ValueError("unknown type " + name)


def same(a, b):
    return type(a) is type(b) and a == b


def validate(value, schema, root, where, errors):
    unknown = set(schema) - KNOWN
    if unknown:
        raise ValueError("schema keywords not understood at %s: %s" % (where, sorted(unknown)))
    if "$ref" in schema:
        node = root
        for part in schema["$ref"].lstrip("#/").split("/"):
            node = node[part]
        validate(value, node, root, where, errors)
    if "type" in schema:
        names = schema["type"] if isinstance(schema["type"], list) else [schema["type"]]
        if not any(type_ok(value, n) for n in names):
            errors.append("%s: %r is not %s" % (where, value, " or ".join(names)))
            return
    if "const" in schema and not same(value, schema["const"]):
        errors.append("%s: %r is not %r" % (where, value, schema["const"]))
    if "enum" in schema and not any(same(value, e) for e in schema["enum"]):
        errors.append("%s: %r is not one of %r" % (where, value, schema["enum"]))
    if isinstance(value, str) and "pattern" in schema and not re.search(schema["pattern"], value):
        errors.append("%s: %r does not match %s" % (where, value, schema["pattern"]))
    if type_ok(value, "number"):
        if "minimum" in schema and value < schema["minimum"]:
            errors.append("%s: %r is below %r" % (where, value, schema["minimum"]))
        if "maximum" in schema and value > schema["maximum"]:
            errors.append("%s: %r is above %r" % (where, value, schema["maximum"]))
        if "exclusiveMinimum" in schema and value <= schema["exclusiveMinimum"]:
            errors.append("%s: %r is not above %r" % (where, value, schema["exclusiveMinimum"]))
    if isinstance(value, dict):
        for key in schema.get("required", []):
            if key not in value:
                errors.append("%s: %s is missing" % (where, key))
        props = schema.get("properties", {})
        for key, item in value.items():
            if key in props:
                validate(item, props[key], root, where + "." + key, errors)
            elif schema.get("additionalProperties") is False:
                errors.append("%s: %s is not expected" % (where, key))
            elif isinstance(schema.get("additionalProperties"), dict):
                validate(item, schema["additionalProperties"], root, where + "." + key, errors)
    if isinstance(value, list):
        if len(value) < schema.get("minItems", 0):
            errors.append("%s: fewer than %d items" % (where, schema["minItems"]))
        if "items" in schema:
            for i, item in enumerate(value):
                validate(item, schema["items"], root, "%s[%d]" % (where, i), errors)


def self_checks(doc, passes, errors):
    tests = doc["tests"]
    for i, t in enumerate(tests):
        where = "tests[%d]" % i
        if passes and len(t["passes"]) != passes:
            errors.append("%s: %d passes, not %d" % (where, len(t["passes"]), passes))
        if t["ok"] and not t["rate_min"] <= t["rate"] <= t["rate_max"]:
            errors.append("%s: median %r outside %r to %r" % (where, t["rate"], t["rate_min"], t["rate_max"]))
        if t["ok"] != all(p["ok"] for p in t["passes"]):
            errors.append("%s: ok disagrees with its passes" % where)
        for m in [t] + t["passes"]:
            lat = m["latency"]
            if (lat is None) == m["ok"]:
                errors.append("%s: latency present when the test failed, or missing when it completed" % where)
            elif lat:
                order = [lat[k] for k in ("p50_us", "p90_us", "p99_us", "p999_us", "max_us")]
                if order != sorted(order) or not lat["mean_us"] <= lat["max_us"]:
                    errors.append("%s: latencies out of order: %r" % (where, lat))
        if t["ok"] and t["latency"] not in [p["latency"] for p in t["passes"]]:
            errors.append("%s: latency is none of its passes'" % where)
        marked = any(p["flags"] for p in t["passes"])
        if bool(t["flags"]) != marked:
            errors.append("%s: flags disagree with its passes" % where)
    for direction in ("read", "write"):
        best = doc["best"][direction]
        if best is None:
            continue
        for ref in [best] + best["tied_with"]:
            if not 0 <= ref["test"] < len(tests):
                errors.append("best.%s: test %d out of range" % (direction, ref["test"]))
                continue
            t = tests[ref["test"]]
            for key in ("direction", "count", "size", "mode", "rate", "rate_min", "rate_max"):
                if t[key] != ref[key]:
                    errors.append("best.%s: %s differs from tests[%d]" % (direction, key, ref["test"]))
            if not t["ok"] or t["direction"] != direction:
                errors.append("best.%s: tests[%d] cannot be named" % (direction, ref["test"]))
        winner = tests[best["test"]]
        for t in tests:
            if t["direction"] == direction and t["ok"] and t["rate"] > winner["rate"]:
                errors.append("best.%s: a completed test has a higher median" % direction)
        near = [t for t in tests if t["direction"] == direction and t["ok"] and t["rate"] >= 0.95 * winner["rate"]]
        quick = best["best_latency"]
        if quick is None or not 0 <= quick["test"] < len(tests):
            errors.append("best.%s: no best latency among %d tests near the best rate" % (direction, len(near)))
        elif tests[quick["test"]] not in near or quick["p99_us"] != tests[quick["test"]]["latency"]["p99_us"] or \
                any(t["latency"]["p99_us"] < quick["p99_us"] for t in near):
            errors.append("best.%s: best_latency is not the lowest p99 within 5%% of the best rate" % direction)


def main():
    schema = json.load(open(sys.argv[1], encoding="utf-8"))
    doc = json.load(open(sys.argv[2], encoding="ascii"))  # the document is plain ASCII
    passes = int(sys.argv[3]) if len(sys.argv) > 3 else 0
    errors = []
    validate(doc, schema, schema, "$", errors)
    if not errors:
        self_checks(doc, passes, errors)
    for e in errors[:20]:
        print("JSON: " + e)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
