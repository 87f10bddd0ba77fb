# Checks the Windows deliverables: tabrix.dll exports exactly its interface,
# undecorated, and nothing needs a compiler runtime DLL beside it.
source "$(dirname "$0")/../lib/common.sh"
bin="$WIN_BUILD/bin"
expected="CSV_count CSV_dget CSV_fget CSV_iget CSV_len CSV_lget CSV_sget CSV_version TAB_count TAB_dget TAB_fget TAB_iget TAB_len TAB_lget TAB_sget"
exports=$(x86_64-w64-mingw32-objdump -p "$bin/tabrix.dll" |
    sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/\]/ && NR > 1 {print $NF}' | sort | xargs)
if [ "$exports" != "$expected" ]; then
    echo "tabrix.dll exports: $exports"
    echo "expected:           $expected"
    exit 1
fi
status=0
for file in "$bin"/tabrix.dll "$bin"/*.exe; do
    [ -e "$file" ] || continue
    if x86_64-w64-mingw32-objdump -p "$file" | grep -iE 'DLL Name: (libstdc|libgcc|libwinpthread)'; then
        echo "$(basename "$file") needs a compiler runtime DLL"
        status=1
    fi
done
echo "tabrix.dll exports its 15 names; no runtime DLLs needed"
exit $status
