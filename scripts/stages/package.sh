# Builds the release zip and checks it: the four files, the Shift-JIS texts,
# and an import template that imports with no error lines.
source "$(dirname "$0")/../lib/common.sh"
zip=$("$ROOT/scripts/package" | tail -n 1)
check="$BUILD/package-check"
rm -rf "$check"
mkdir -p "$check"
python3 - "$zip" "$check" <<'PY'
import sys, zipfile
archive, out = zipfile.ZipFile(sys.argv[1]), sys.argv[2]
names = [i.orig_filename.encode("cp437").decode("cp932") if not i.flag_bits & 0x800 else i.filename
         for i in archive.infolist()]
expected = ["vntra.exe", "tabrix.dll", "import.csv", "はじめにお読みください.txt"]
if names != expected:
    sys.exit(f"zip holds {names}, expected {expected}")
for info, name in zip(archive.infolist(), names):
    data = archive.read(info)
    if name.endswith((".csv", ".txt")):
        data.decode("cp932")  # Shift-JIS throughout
        if b"\n" in data.replace(b"\r\n", b""):
            sys.exit(f"{name}: a line end without CR")
    open(f"{out}/{name if name.isascii() else 'readme.txt'}", "wb").write(data)
print("zip holds", ", ".join(names))
PY
build_host >/dev/null
VNTRA_IMPORT_TEMPLATE="$check/import.csv" "$HOST_BUILD/bin/vntra_core_tests" \
    --gtest_filter='PackagedTemplate.*' --gtest_brief=1
