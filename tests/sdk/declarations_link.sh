#!/usr/bin/env bash
# Links a program that takes the address of every function the SDK installed under PREFIX
# declares and does not define inline, with the libraries pkg-config gives for calvora: each
# must be defined in an installed library that the .pc file names. The declarations come from
# clang's syntax tree of each installed header (a function's mangled name, once no header
# defines it). Left out: the module's exports and the synchronisation library's entry point,
# which the module and the sync library define and a host resolves at run time.
#   declarations_link.sh PREFIX
set -euo pipefail
prefix="$1"
for tool in clang++ python3 pkg-config; do
    command -v "$tool" >/dev/null || { echo "FAILED: the declarations check needs $tool" >&2; exit 1; }
done
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
multiarch="$(gcc -print-multiarch)"
export PKG_CONFIG_PATH="$prefix/lib/$multiarch/pkgconfig:$prefix/lib/pkgconfig"
include="$(realpath "$(pkg-config --variable=includedir calvora)")"

# One translation unit of every installed header.
(cd "$include" && find calvora -name '*.h' | sort | sed 's/.*/#include "&"/') >"$work/headers.cpp"
clang++ -std=c++20 -I"$include" -Xclang -ast-dump=json -fsyntax-only "$work/headers.cpp" \
    >"$work/ast.json"
python3 - "$work/ast.json" "$include/calvora/" >"$work/names" <<'PYTHON'
# Prints the mangled names of the functions declared, and defined nowhere, in headers under
# the include root. The dump names a location's file only where it changes from the location
# before, so the file is followed through the tree in the order the dump was written.
import json, sys

tree = json.load(open(sys.argv[1]))
root = sys.argv[2]
declared, defined = {}, set()
current = [""]
FUNCTIONS = {"FunctionDecl", "CXXMethodDecl", "CXXConstructorDecl", "CXXDestructorDecl",
             "CXXConversionDecl"}
GENERIC = {"FunctionTemplateDecl", "ClassTemplateDecl", "ClassTemplatePartialSpecializationDecl",
           "ClassTemplateSpecializationDecl"}

def follow(location):
    if not isinstance(location, dict):
        return
    for key in ("spellingLoc", "expansionLoc"):
        follow(location.get(key))
    if "file" in location:
        current[0] = location["file"]

def walk(node, skipped):
    follow(node.get("loc"))
    file = current[0]
    for end in ("begin", "end"):
        follow(node.get("range", {}).get(end))
    kind = node.get("kind")
    skipped = skipped or kind in GENERIC
    if kind in FUNCTIONS and not skipped and "mangledName" in node:
        name = node["mangledName"]
        has_body = any(child.get("kind") == "CompoundStmt" for child in node.get("inner", []))
        generated = (node.get("isImplicit") or node.get("explicitlyDeleted")
                     or node.get("explicitlyDefaulted") or node.get("pure")
                     or node.get("constexpr") or node.get("inline"))
        if has_body or generated:
            defined.add(name)
        elif file.startswith(root) and not file.startswith(root + "api/"):
            declared[name] = file
    for child in node.get("inner", []):
        walk(child, skipped)

walk(tree, False)
for name in sorted(set(declared) - defined):
    print(name)
PYTHON

{
    echo "// The address of each function the installed headers declare."
    awk '{ printf "extern \"C\" void f%d() __asm__(\"%s\");\n", NR, $1 }' "$work/names"
    echo "__attribute__((used)) void (*const addresses[])() = {"
    awk '{ printf "    f%d,\n", NR }' "$work/names"
    echo "};"
    echo "int main() { return 0; }"
} >"$work/addresses.cpp"
# shellcheck disable=SC2046  # the flags are words
g++ -std=c++20 -o "$work/addresses" "$work/addresses.cpp" $(pkg-config --libs calvora) \
    2>"$work/link.err" || {
    grep -o "undefined reference to .*" "$work/link.err" | sort -u >&2
    echo "FAILED: of $(wc -l <"$work/names") functions the installed headers declare, these are defined in no library calvora.pc names" >&2
    exit 1
}
echo "the $(wc -l <"$work/names") functions the installed headers declare link"
