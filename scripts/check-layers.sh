#!/usr/bin/env bash
# Fails when a file includes a layer above its own, or logic includes widgets.
#
#   platform  <  app  <  selection | journal | readings  <  demosuite  <  cli             (logic)
#   platform/widgets  <  app/widgets  <  {selection,journal,readings}/widgets  <  program
#
# Logic never includes QtWidgets or QtPrintSupport; a feature never includes another
# feature, logic or widgets; widgets never include the demo suite or the command line.
set -euo pipefail
cd "$(dirname "$0")/.."

qt_include=$(qmake6 -query QT_INSTALL_HEADERS 2>/dev/null || echo /usr/include/x86_64-linux-gnu/qt6)

{
    # First the names of the widget modules' headers, then every include of the product.
    ls "$qt_include/QtWidgets" "$qt_include/QtPrintSupport" 2>/dev/null | sed -n 's/^\([^/].*\)$/WIDGET \1/p'
    git grep -E '^[[:space:]]*#[[:space:]]*include' -- '*.cpp' '*.h' ':!tests' ':!bench' ':!fuzz'
} | awk '
function layer(path) { return path ~ /^[a-z]+\/widgets\// ? substr(path, 1, index(path, "/")) "widgets" : substr(path, 1, index(path, "/") - 1) }
function feature(l) { return l == "selection" || l == "journal" || l == "readings" }
function widgets(l) { return l ~ /\/widgets$/ || l == "program" }
BEGIN {
    permit["app"] = " platform "
    permit["selection"] = permit["journal"] = permit["readings"] = " platform app "
    permit["demosuite"] = " platform app selection journal readings "
    permit["cli"] = " platform app selection journal readings demosuite "
    permit["platform/widgets"] = " platform "
    permit["app/widgets"] = " platform app platform/widgets "
    permit["program"] = " platform app selection journal readings platform/widgets app/widgets selection/widgets journal/widgets readings/widgets "
}
$1 == "WIDGET" { widget[$2] = 1; next }
{
    file = substr($0, 1, index($0, ":") - 1)
    line = substr($0, index($0, ":") + 1)
    from = layer(file)
    if (!(from in permit) && from != "platform" && from !~ /^(selection|journal|readings)\/widgets$/) next
    mine = (from ~ /^(selection|journal|readings)\/widgets$/) ? " platform app " substr(from, 1, index(from, "/") - 1) " platform/widgets app/widgets " : permit[from]
    if (match(line, /"[^"]+"/)) {
        target = substr(line, RSTART + 1, RLENGTH - 2)
        if (index(target, "/") == 0) next
        to = layer(target)
        if (to == from) next
        if (index(mine, " " to " ") == 0 || (feature(from) && feature(to))) {
            print file ": layer " from " includes " target " (layer " to ")"; faults++
        }
    } else if (!widgets(from) && match(line, /<[^>]+>/)) {
        header = substr(line, RSTART + 1, RLENGTH - 2)
        name = header; sub(/.*\//, "", name)
        if (header ~ /^Qt(Widgets|PrintSupport)\// || (name in widget)) {
            print file ": logic layer " from " includes <" header ">"; faults++
        }
    }
}
END {
    if (faults) { print "check-layers: " faults " include(s) cross the layers"; exit 1 }
    print "check-layers: every include keeps to its layer"
}'
