#!/usr/bin/env python3
"""The JSON Schemas in docs/ against the reference host's own reader.

    schemas_test.py --docs DOCS --program REFERENCE_HOST --examples DIR...
        Every example file holds to its schema and is read (an example
        scenario replays as its "expect" says); every refusal below is
        refused by the reader (--replay exits with 2, naming the key) and by
        the schema; every good variant is accepted by both.
    schemas_test.py --docs DOCS --scenario FILE...
        The files hold to the scenario schema (the recording tests' check).

Exit status 0 when all hold, 1 otherwise.
"""

import argparse
import copy
import json
import pathlib
import subprocess
import sys
import tempfile
import warnings

import jsonschema

KINDS = ("scenario", "controllers", "project")


def validators(docs):
    """A validator per kind; the schemas' references to each other resolve
    to the files beside them, never to the network."""
    loaded = {}
    for kind in KINDS:
        path = pathlib.Path(docs, kind + ".schema.json").resolve()
        loaded[kind] = (path.as_uri(), json.loads(path.read_text(encoding="utf-8")))
    store = {uri: schema for uri, schema in loaded.values()}
    found = {}
    # Newer releases deprecate RefResolver; Debian 12's has nothing else.
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", DeprecationWarning)
        for kind, (uri, schema) in loaded.items():
            jsonschema.Draft202012Validator.check_schema(schema)
            resolver = jsonschema.RefResolver(uri, schema, store=store)
            found[kind] = jsonschema.Draft202012Validator(schema, resolver=resolver)
    return found


def schema_problem(validator, document):
    """The schema's reason to refuse `document`, or None."""
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", DeprecationWarning)
        error = jsonschema.exceptions.best_match(validator.iter_errors(document))
    if error is None:
        return None
    where = "/".join(str(p) for p in error.absolute_path) or "(top)"
    return f"{where}: {error.message[:200]}"


def kind_of(document):
    if "timeline" in document:
        return "scenario"
    return "controllers" if "controllers" in document else "project"


class Replayer:
    def __init__(self, program, folder):
        self.program = program
        self.folder = pathlib.Path(folder)
        self.count = 0

    def run(self, document):
        """--replay on `document`: its exit status and output."""
        self.count += 1
        file = self.folder / f"case_{self.count}.json"
        text = document if isinstance(document, str) else json.dumps(document, ensure_ascii=False)
        file.write_text(text, encoding="utf-8")
        done = subprocess.run([self.program, "--replay", str(file)], capture_output=True,
                              text=True, errors="replace", timeout=60, check=False)
        return done.returncode, done.stdout + done.stderr


# ---- the cases ----

DELETE = object()

CONFIGURATION = {
    "version": 5, "length": 956,
    "input_mode": {"name": "INPUT_SERIAL_1", "value": 4194304},
    "spare_bytes": [0, 0], "spare_words": [0] * 9,
    "digi8_value": [0, 0], "digi8_mask": [0, 0], "digi16_value": [0, 0], "digi16_mask": [0, 0],
    "flags": {"value": 66, "names": ["FLAG_SERIAL1_SUBSTRING", "FLAG_FORWARD_IN2"]},
    "digi32_value": 0, "digi32_mask": 0, "controller": 0,
    "compare_text1": "LOT", "wait_message": "", "compare_text2": "",
    "timeout_sec": 0, "goto_element": 0,
    "timeout_action": {"name": "ACTION_CONTINUE", "value": 0},
    "substr_from": 4, "substr_to": 7,
}
# A version-5 record of 956 bytes with every field 0: the plug-in loads it.
RECORD = "000503bc" + "00" * 952

BASE = {
    "description": "every part of a scenario once",
    "controllers": [{"index": 0, "inputs": "all", "features": ["FEATURE_STREAM_WAIT"],
                     "ports": [{"kind": "INPUT_DIGI8_1", "unavailable_bits": [0]}]}],
    "elements": [
        {"name": "Read lot", "id": 1, "type": "custom_input", "configuration": CONFIGURATION},
        {"name": "Mark", "id": 2, "type": "placeholder"},
        {"name": "Stored", "id": 3, "type": "custom_input", "save_record": RECORD},
    ],
    "runs": 1,
    "timeline": [{"at": 0, "digi8_1": 0, "serial_1": "NOISE\r\n"}],
    "expect": {"outcome": "waiting", "completed_runs": 0, "element": "Read lot"},
}

C0 = ["controllers", 0]
E0 = ["elements", 0]
E1 = ["elements", 1]
E2 = ["elements", 2]
CONF = E0 + ["configuration"]
T0 = ["timeline", 0]


def changed(path, value):
    document = copy.deepcopy(BASE)
    if not path:
        return value
    parent = document
    for step in path[:-1]:
        parent = parent[step]
    if value is DELETE:
        del parent[path[-1]]
    else:
        parent[path[-1]] = value
    return document


# (the key the reader's refusal names, where the base changes, to what)
REFUSALS = [
    ("comment", ["comment"], "x"),
    ("$schema", ["$schema"], 1),
    ("description", ["description"], 5),
    ("elements", ["elements"], DELETE),
    ("elements", ["elements"], {}),
    ("timeline", ["timeline"], DELETE),
    ("timeline", ["timeline"], {}),
    ("expect", ["expect"], DELETE),
    ("runs", ["runs"], 0),
    ("runs", ["runs"], 10001),
    ("runs", ["runs"], "2"),
    # timeline entries and their levels
    ("timeline[0]", T0, [0]),
    ("timeline[0].at", T0 + ["at"], DELETE),
    ("timeline[0].at", T0 + ["at"], -1),
    ("timeline[0].at", T0 + ["at"], 100000001),
    ("timeline[0].at", T0 + ["at"], "0"),
    ("timeline[0].controller", T0 + ["controller"], 256),
    ("timeline[0].controller", T0 + ["controller"], -1),
    ("timeline[0].digi8_3", T0 + ["digi8_3"], 1),
    ("timeline[0].digi8_1", T0 + ["digi8_1"], 256),
    ("timeline[0].digi8_1", T0 + ["digi8_1"], -1),
    ("timeline[0].digi8_1", T0 + ["digi8_1"], True),
    ("timeline[0].digi8_1", T0 + ["digi8_1"], "0x100"),
    ("timeline[0].digi8_1", T0 + ["digi8_1"], "0x00_1_00"),
    ("timeline[0].digi8_1", T0 + ["digi8_1"], "0b1_0000_0000"),
    ("timeline[0].digi8_1", T0 + ["digi8_1"], "0b102"),
    ("timeline[0].digi8_1", T0 + ["digi8_1"], "0B1"),
    ("timeline[0].digi8_1", T0 + ["digi8_1"], "0X1"),
    ("timeline[0].digi8_1", T0 + ["digi8_1"], "0x"),
    ("timeline[0].digi8_1", T0 + ["digi8_1"], "0b__"),
    ("timeline[0].digi8_1", T0 + ["digi8_1"], "12"),
    ("timeline[0].digi8_1", T0 + ["digi8_1"], " 0x1"),
    ("timeline[0].digi8_1", T0 + ["digi8_1"], "0x1\n"),
    ("timeline[0].digi8_2", T0 + ["digi8_2"], "0xFFF"),
    ("timeline[0].digi16_1", T0 + ["digi16_1"], 65536),
    ("timeline[0].digi16_1", T0 + ["digi16_1"], "0x1_0000"),
    ("timeline[0].digi16_1", T0 + ["digi16_1"], "0b1" + "0" * 16),
    ("timeline[0].digi16_2", T0 + ["digi16_2"], "0xG"),
    ("timeline[0].digi32", T0 + ["digi32"], 4294967296),
    ("timeline[0].digi32", T0 + ["digi32"], "0x1_0000_0000"),
    ("timeline[0].digi32", T0 + ["digi32"], "0b1" + "0" * 32),
    # serial texts
    ("timeline[0].serial_1", T0 + ["serial_1"], "x" * 205),
    ("timeline[0].serial_1", T0 + ["serial_1"], "\\xE9" * 205),
    ("timeline[0].serial_1", T0 + ["serial_1"], "x" * 204 + "\n"),
    ("timeline[0].serial_2", T0 + ["serial_2"], "y" * 211),
    ("timeline[0].serial_1", T0 + ["serial_1"], "A\\x0"),
    ("timeline[0].serial_1", T0 + ["serial_1"], "A\\x00B"),
    ("timeline[0].serial_1", T0 + ["serial_1"], "A\\n"),
    ("timeline[0].serial_1", T0 + ["serial_1"], "A\u0000B"),
    ("timeline[0].serial_2", T0 + ["serial_2"], "\u20ac"),
    ("timeline[0].serial_2", T0 + ["serial_2"], 5),
    # the expectation
    ("expect", ["expect"], "done"),
    ("expect", ["expect"], 5),
    ("expect.outcome", ["expect", "outcome"], DELETE),
    ("expect.outcome", ["expect", "outcome"], "finished"),
    ("expect.completed_runs", ["expect", "completed_runs"], 10001),
    ("expect.completed_runs", ["expect", "completed_runs"], -1),
    ("expect.restarts", ["expect", "restarts"], -1),
    ("expect.restarts", ["expect", "restarts"], 1000000001),
    ("expect.element", ["expect", "element"], 5),
    ("expect.IN6", ["expect", "IN6"], "x"),
    ("expect.IN2", ["expect", "IN2"], "\u20ac"),
    ("expect.IN5", ["expect", "IN5"], "\\q"),
    # controllers
    ("controllers", ["controllers"], {}),
    ("controllers", ["controllers"], [{"inputs": []}] * 10),
    ("controllers[0].index", C0 + ["index"], 9),
    ("controllers[0].inputs", C0 + ["inputs"], DELETE),
    ("controllers[0].inputs", C0 + ["inputs"], "some"),
    ("controllers[0].inputs[0]", C0 + ["inputs"], ["INPUT_DIGI9"]),
    ("controllers[0].valid", C0 + ["valid"], "yes"),
    ("controllers[0].features", C0 + ["features"], "FEATURE_STREAM_WAIT"),
    ("controllers[0].features[0]", C0 + ["features"], ["FAST"]),
    ("controllers[0].capabilities", C0 + ["capabilities"], 8192),
    ("controllers[0].ports", C0 + ["ports"], [{"kind": "INPUT_DIGI8_1"}] * 13),
    ("controllers[0].ports[0].kind", C0 + ["ports"], [{"kind": "INPUT_SERIAL_1"}]),
    ("controllers[0].ports[0].kind", C0 + ["ports"], [{"unavailable_bits": "all"}]),
    ("controllers[0].ports[0].unavailable_bits[0]", C0 + ["ports", 0, "unavailable_bits"], [8]),
    ("controllers[0].ports[0].unavailable_bits[0]", C0 + ["ports", 0, "unavailable_bits"], [-1]),
    ("controllers[0].ports[0].unavailable_bits", C0 + ["ports", 0, "unavailable_bits"], "none"),
    ("controllers[0].ports[0].unavailable_bits[0]", C0 + ["ports"],
     [{"kind": "INPUT_DIGI16_2", "unavailable_bits": [16]}]),
    ("controllers[0].ports[0].unavailable_bits[0]", C0 + ["ports"],
     [{"kind": "INPUT_DIGI32", "unavailable_bits": [32]}]),
    # elements
    ("elements[1].name", E1 + ["name"], DELETE),
    ("elements[1].name", E1 + ["name"], 5),
    ("elements[1].id", E1 + ["id"], DELETE),
    ("elements[1].id", E1 + ["id"], 2147483648),
    ("elements[1].type", E1 + ["type"], DELETE),
    ("elements[1].type", E1 + ["type"], "laser"),
    ("elements[1].colour", E1 + ["colour"], "red"),
    ("elements[1].save_record", E1 + ["save_record"], RECORD),
    ("elements[1].configuration", E1 + ["configuration"], CONFIGURATION),
    ("elements[0].configuration", E0 + ["save_record"], RECORD),
    ("elements[0].save_record", CONF, DELETE),
    ("elements[2].save_record", E2 + ["save_record"], "0g"),
    ("elements[2].save_record", E2 + ["save_record"], ""),
    ("elements[2].save_record", E2 + ["save_record"], " \n "),
    ("elements[2].save_record", E2 + ["save_record"], RECORD + "0"),
    ("elements[2].save_record", E2 + ["save_record"], "00" * 65537),
    # a configuration as the save-record tool's JSON
    ("elements[0].configuration", CONF, []),
    ("elements[0].configuration: timeout_sec", CONF + ["timeout_sec"], DELETE),
    ("elements[0].configuration: colour", CONF + ["colour"], "red"),
    ("elements[0].configuration: version", CONF + ["version"], 32768),
    ("elements[0].configuration: input_mode.name", CONF + ["input_mode"],
     {"name": "INPUT_DIGI8_2", "value": 8192}),
    ("elements[0].configuration: input_mode.name", CONF + ["input_mode"],
     {"name": "unknown", "value": 8192}),
    ("elements[0].configuration: input_mode.value", CONF + ["input_mode"],
     {"name": "none", "value": -1}),
    ("elements[0].configuration: input_mode.mode", CONF + ["input_mode", "mode"], 1),
    ("elements[0].configuration: timeout_action.name", CONF + ["timeout_action"],
     {"name": "ACTION_STOP", "value": 3}),
    ("elements[0].configuration: timeout_action.name", CONF + ["timeout_action"],
     {"name": "unknown", "value": 2}),
    ("elements[0].configuration: timeout_action.value", CONF + ["timeout_action"],
     {"name": "unknown", "value": 256}),
    ("elements[0].configuration: flags.value", CONF + ["flags", "value"], -1),
    ("elements[0].configuration: flags.names", CONF + ["flags", "names"], DELETE),
    ("elements[0].configuration: flags.names[0]", CONF + ["flags", "names", 0], 2),
    ("elements[0].configuration: flags.names", CONF + ["flags", "names", 0], "FLAG_X"),
    ("elements[0].configuration: flags.names", CONF + ["flags", "names", 0], "0x2"),
    ("elements[0].configuration: spare_bytes", CONF + ["spare_bytes"], [0, 0, 0]),
    ("elements[0].configuration: spare_words", CONF + ["spare_words"], [0] * 8),
    ("elements[0].configuration: digi8_value[0]", CONF + ["digi8_value"], [256, 0]),
    ("elements[0].configuration: digi16_mask[1]", CONF + ["digi16_mask"], [0, 65536]),
    ("elements[0].configuration: digi32_mask", CONF + ["digi32_mask"], 4294967296),
    ("elements[0].configuration: controller", CONF + ["controller"], 256),
    ("elements[0].configuration: controller", CONF + ["controller"], "0"),
    ("elements[0].configuration: goto_element", CONF + ["goto_element"], 2147483648),
    ("elements[0].configuration: timeout_sec", CONF + ["timeout_sec"], -1),
    ("elements[0].configuration: substr_to", CONF + ["substr_to"], 256),
    ("elements[0].configuration: compare_text1", CONF + ["compare_text1"], "x" * 201),
    ("elements[0].configuration: compare_text1", CONF + ["compare_text1"], "x" * 200 + "\n"),
    ("elements[0].configuration: compare_text2", CONF + ["compare_text2"], "\u20ac"),
    ("elements[0].configuration: compare_text2", CONF + ["compare_text2"], "A\u0000"),
    ("elements[0].configuration: wait_message", CONF + ["wait_message"], "x" * 121),
    ("elements[0].configuration: wait_message", CONF + ["wait_message"], "A\u0000"),
    ("elements[0].configuration: wait_message_bytes", CONF + ["wait_message_bytes"], "00" * 10),
    ("elements[0].configuration: wait_message_bytes", CONF + ["wait_message_bytes"],
     "0" * 479 + "g"),
]

# (what the variant shows, where the base changes, to what); both must read it.
GOOD = [
    ("a $schema for editors", ["$schema"], "../../../docs/scenario.schema.json"),
    ("only the required keys", [], {"elements": [], "timeline": [], "expect": "completed"}),
    ("the expectation as an outcome alone", ["expect"], "waiting"),
    ("every expectation key",
     ["expect"], {"outcome": "waiting", "completed_runs": 0, "restarts": 0, "element": "Read lot",
                  "IN2": "", "IN3": "\\x80\u00e9", "IN4": "\\\\", "IN5": "x"}),
    ("the most runs and the latest second",
     [], changed(["timeline"], [{"at": 0}, {"at": 100000000}]) | {"runs": 10000}),
    ("levels in every form", T0,
     {"at": 0, "controller": 0, "digi8_1": "0x00_FF", "digi8_2": "0b_1111_1111",
      "digi16_1": 65535, "digi16_2": "0b" + "1" * 16, "digi32": "0xFFFF_FFFF"}),
    ("the smallest levels", T0, {"at": 0, "digi8_1": "0x0", "digi16_1": "0b0", "digi32": 0}),
    ("a 32-bit level in binary", T0, {"at": 0, "digi32": "0b" + "1" * 32}),
    ("a record of a controller not described", T0 + ["controller"], 255),
    ("the longest serial texts", T0,
     {"at": 0, "serial_1": "\\xE9" * 204, "serial_2": "y" * 209 + "\n"}),
    ("texts with escapes and Latin-1", T0,
     {"at": 0, "serial_1": "Caf\u00e9\\\\\\x02\t\r\n", "serial_2": "\\xff\u00ff"}),
    ("controllers in every form", ["controllers"],
     [{"inputs": "all"},
      {"valid": False, "inputs": [], "features": []},
      {"index": 8, "inputs": ["INPUT_DIGI32", "INPUT_SERIAL_2", "INPUT_DIGI32"],
       "ports": [{"kind": "INPUT_DIGI32", "unavailable_bits": [0, 31]},
                 {"kind": "INPUT_DIGI16_1", "unavailable_bits": "all"},
                 {"kind": "INPUT_DIGI8_2"}] + [{"kind": "INPUT_DIGI8_1"}] * 9}]),
    ("nine controllers", ["controllers"], [{"inputs": []}] * 9),
    ("no elements", ["elements"], []),
    ("a save record with spaces and line breaks", E2 + ["save_record"],
     " 0005 03BC\n" + "00 " * 952 + "\r\n"),
    ("the extreme ids and an empty name", E1, {"name": "", "id": -2147483648, "type": "placeholder"}),
    ("a configuration with what decoding adds", CONF,
     CONFIGURATION | {"stored_bytes": 956, "when_loaded": {"notes": []},
                      "wait_message_bytes": "0" * 480}),
    ("the longest configuration texts", CONF,
     CONFIGURATION | {"compare_text1": "\u00e9" * 200, "compare_text2": "[CR][LF]",
                      "wait_message": "\u00fc" * 120}),
    ("unnamed values and bits", CONF,
     CONFIGURATION | {"input_mode": {"name": "unknown", "value": 1},
                      "timeout_action": {"name": "unknown", "value": 200},
                      "flags": {"value": 1024, "names": ["0x00000400"]}}),
    ("an older version", CONF + ["version"], 4),
]


def check_examples(folders, check, replayer, schemas):
    held = 0
    files = sorted(f for folder in folders for f in pathlib.Path(folder).glob("*.json"))
    documents = {f: json.loads(f.read_text(encoding="utf-8")) for f in files}
    for file, document in documents.items():
        kind = kind_of(document)
        problem = schema_problem(schemas[kind], document)
        check(problem is None, f"{file.name}: {kind}.schema.json refuses it: {problem}")
        held += 1
        if kind == "scenario":
            code, output = replayer.run(document)
            check(code == 0, f"{file.name}: --replay exits with {code}:\n{output}")
        else:
            # Its controllers or elements in a scenario: the same reader.
            part = "controllers" if kind == "controllers" else "elements"
            scenario = {"elements": [], "timeline": [], "expect": "completed"}
            scenario[part] = document[part]
            code, output = replayer.run(scenario)
            check(code != 2, f"{file.name}: not read:\n{output}")
    # A scenario that names a controllers file describes the same controllers.
    for file, document in documents.items():
        if kind_of(document) != "controllers":
            continue
        for other, scenario in documents.items():
            if kind_of(scenario) == "scenario" and file.name in scenario.get("description", ""):
                check(scenario.get("controllers") == document["controllers"],
                      f"{other.name}: its controllers are not those of {file.name}")
    return held


def check_cases(check, replayer, schema):
    base_code, output = replayer.run(BASE)
    check(base_code == 0 and schema_problem(schema, BASE) is None, f"the base is not good:\n{output}")
    for key, path, value in REFUSALS:
        document = changed(path, value)
        case = "/".join(str(p) for p in path) + (
            " removed" if value is DELETE else " = " + json.dumps(value)[:60])
        code, output = replayer.run(document)
        check(code == 2 and f": {key}:" in output,
              f"{case}: the reader should refuse it naming {key}; exit {code}:\n{output}")
        check(schema_problem(schema, document) is not None,
              f"{case}: the reader refuses it, the schema does not")
    for what, path, value in GOOD:
        document = changed(path, value)
        code, output = replayer.run(document)
        check(code in (0, 1), f"{what}: the reader should read it; exit {code}:\n{output}")
        problem = schema_problem(schema, document)
        check(problem is None, f"{what}: the reader reads it, the schema refuses: {problem}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--docs", required=True)
    parser.add_argument("--program")
    parser.add_argument("--examples", nargs="*", default=[])
    parser.add_argument("--scenario", nargs="*", default=[])
    args = parser.parse_args()
    schemas = validators(args.docs)
    failures = []

    def check(holds, message):
        if not holds:
            failures.append(message)
            print("FAILED: " + message)

    for file in args.scenario:
        problem = schema_problem(schemas["scenario"], json.loads(
            pathlib.Path(file).read_text(encoding="utf-8")))
        check(problem is None, f"{file}: scenario.schema.json refuses it: {problem}")
    if args.scenario:
        print(f"{len(args.scenario)} files held to scenario.schema.json")
    if args.program:
        with tempfile.TemporaryDirectory() as folder:
            replayer = Replayer(args.program, folder)
            held = check_examples(args.examples, check, replayer, schemas)
            check_cases(check, replayer, schemas["scenario"])
        print(f"held to the schemas: {held} example files, {len(REFUSALS)} refusals of the "
              f"reader, {len(GOOD)} good variants")
    if failures:
        print(f"{len(failures)} checks failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
