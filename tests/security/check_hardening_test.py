#!/usr/bin/env python3
"""scripts/check-hardening against programs it can be sure about.

Usage: check_hardening_test.py CHECK_HARDENING CXX

Builds one small program with every hardening flag, and once more for each
flag with that one flag taken away or reversed, each time laid out as a
build directory with its compile_commands.json. The checker must pass the
first and, for each of the others, fail exactly the property that was taken
away, for both binaries it reads.
"""

import json
import os
import subprocess
import sys
import tempfile

PROGRAM = r"""
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%d %s", argc, argv[0]);
    std::string text(buffer);
    std::puts(text.c_str());
    return text.empty() ? 1 : 0;
}
"""

COMPILE = ["-O2", "-fPIE", "-fstack-protector-strong", "-fcf-protection=full",
           "-U_FORTIFY_SOURCE", "-D_FORTIFY_SOURCE=3", "-D_GLIBCXX_ASSERTIONS"]
LINK = ["-pie", "-Wl,-z,relro,-z,now", "-Wl,-z,noexecstack"]

# What each variant changes, and the one property the checker must miss.
VARIANTS = {
    "pie": ({"-fPIE": "-fno-pie"}, {"-pie": "-no-pie"}),
    "relro": ({}, {"-Wl,-z,relro,-z,now": "-Wl,-z,norelro,-z,now"}),
    "bind-now": ({}, {"-Wl,-z,relro,-z,now": "-Wl,-z,relro,-z,lazy"}),
    "nx-stack": ({}, {"-Wl,-z,noexecstack": "-Wl,-z,execstack"}),
    "stack-protector": ({"-fstack-protector-strong": "-fno-stack-protector"}, {}),
    "fortify": ({"-D_FORTIFY_SOURCE=3": "-D_FORTIFY_SOURCE=2"}, {}),
    "cet": ({"-fcf-protection=full": "-fcf-protection=none"}, {}),
    "glibcxx-asserts": ({"-D_GLIBCXX_ASSERTIONS": "-U_GLIBCXX_ASSERTIONS"}, {}),
}


def build(directory, compiler, compile_flags, link_flags):
    """A build directory holding the program as both binaries the checker reads."""
    os.makedirs(os.path.join(directory, "obj"))
    source = os.path.join(directory, "program.cpp")
    with open(source, "w") as file:
        file.write(PROGRAM)
    command = [compiler, *compile_flags, "-o", "obj/program.o", "-c", source]
    subprocess.run(command, cwd=directory, check=True)
    with open(os.path.join(directory, "compile_commands.json"), "w") as file:
        json.dump([{"directory": directory, "command": " ".join(command), "file": source,
                    "output": "obj/program.o"}], file)
    for binary in ("ui/qt/mervalin", "tools/mervalin-replay"):
        os.makedirs(os.path.join(directory, os.path.dirname(binary)))
        subprocess.run([compiler, *link_flags, "obj/program.o", "-o", binary], cwd=directory,
                       check=True)


def failing(checker, directory):
    result = subprocess.run([sys.executable, checker, directory], capture_output=True, text=True)
    print(result.stdout, end="")
    failed = {}
    for line in result.stdout.splitlines():
        words = line.split()
        if len(words) >= 3 and words[0] == "FAIL":
            failed.setdefault(words[2], set()).add(words[1])
    if (result.returncode == 0) != (not failed):
        raise AssertionError(f"exit status {result.returncode} disagrees with the FAIL lines")
    return failed


def main():
    checker, compiler = sys.argv[1], sys.argv[2]
    problems = []
    with tempfile.TemporaryDirectory(prefix="mervalin-hardening-") as top:
        print("== every flag")
        directory = os.path.join(top, "all")
        build(directory, compiler, COMPILE, LINK)
        failed = failing(checker, directory)
        if failed:
            problems.append(f"every flag: the checker missed {sorted(failed)}")

        for prop, (compile_changes, link_changes) in VARIANTS.items():
            print(f"== without {prop}")
            directory = os.path.join(top, prop)
            build(directory, compiler, [compile_changes.get(f, f) for f in COMPILE],
                  [link_changes.get(f, f) for f in LINK])
            failed = failing(checker, directory)
            expected = {prop: {"mervalin", "mervalin-replay"}}
            if failed != expected:
                problems.append(f"without {prop}: the checker failed {failed}, expected {expected}")

    for problem in problems:
        print(f"FAILED: {problem}")
    print(f"{len(VARIANTS) + 1 - len(problems)} passed, {len(problems)} failed")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
