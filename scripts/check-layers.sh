#!/usr/bin/env bash
# Fails when a source file includes a higher layer. Layers, lowest first:
#   core < platform < services < ui < app
# and web (the pendlow-web helper) may use core and platform only. Further:
#   - services never include Qt Widgets headers;
#   - the services areas include only lower areas, in this order:
#       alerts < clickup < tools < updates < openai < usage < dayplan < forwarding < reports
#     and never the root state (src/services/*.h, which may include every area);
#   - the ui folders include only lower ones: kit < clickup < alerts < dayplan < menubar < reports < settings;
#   - ui/kit, the shared widgets, includes nothing of services (neither the root state nor an area): its
#     widgets take plain data, and the ClickUp rows shared by several windows live in ui/clickup.
# A folder not in the lists is treated as the highest of its layer, so a new one is caught by its
# neighbours until it gets its place here. Every offending include is printed as file:line.
# Usage: scripts/check-layers.sh
set -euo pipefail
cd "$(dirname "$0")/.."

service_areas=(alerts clickup tools updates openai usage dayplan forwarding reports)
ui_areas=(kit clickup alerts dayplan menubar reports settings)

files=$(git ls-files --cached --others --exclude-standard -- 'src/*.cpp' 'src/*.h' | while read -r f; do [ -f "$f" ] && echo "$f"; done)
[ -z "$files" ] && exit 0

# One pass over every include line ("file:line:text") in awk.
# shellcheck disable=SC2086
grep -n '^[[:space:]]*#[[:space:]]*include' $files | awk -v services="${service_areas[*]}" -v uis="${ui_areas[*]}" '
BEGIN {
    rank["core"] = 0; rank["platform"] = 1; rank["services"] = 2; rank["ui"] = 3; rank["app"] = 4; rank["web"] = 5
    n = split(services, a, " "); for (i = 1; i <= n; i++) srank[a[i]] = i
    n = split(uis, a, " "); for (i = 1; i <= n; i++) urank[a[i]] = i
    widgets = "^(QWidget|QApplication|QLabel|QFrame|QMenu|QDialog|QAbstractButton|QPushButton|QToolButton|QLineEdit|QScrollArea|QLayout|QBoxLayout|QVBoxLayout|QHBoxLayout|QGridLayout|QStyle|QStyleOption|QSystemTrayIcon|QMainWindow|QMessageBox|QAction|QtWidgets)(/.*)?$"
    failures = 0
}
function layerOf(path) { return substr(path, 1, index(path, "/") - 1) }
function areaOf(path,   rest, k) {
    rest = substr(path, index(path, "/") + 1); k = index(rest, "/")
    return k ? substr(rest, 1, k - 1) : ""
}
function areaRank(table, name) { return (name in table) ? table[name] : 99 }
function report(where, what) { print where ": " what > "/dev/stderr"; failures++ }
{
    c1 = index($0, ":"); file = substr($0, 1, c1 - 1); rest = substr($0, c1 + 1)
    c2 = index(rest, ":"); line = substr(rest, 1, c2 - 1); text = substr(rest, c2 + 1)
    where = file ":" line
    rel = substr(file, 5); layer = layerOf(rel); area = areaOf(rel)
    if (match(text, /<[^>]+>/)) {
        header = substr(text, RSTART + 1, RLENGTH - 2)
        if (layer == "services" && header ~ widgets)
            report(where, "services must not include the Widgets header <" header ">")
        next
    }
    if (!match(text, /"[^"]+"/)) next
    inc = substr(text, RSTART + 1, RLENGTH - 2)
    if (index(inc, "/") == 0) next
    il = layerOf(inc); ia = areaOf(inc)
    if (!(il in rank)) next
    if (layer == "web") {
        if (il != "web" && rank[il] > 1) report(where, "the web helper may include core and platform only: \"" inc "\"")
        next
    }
    if (il == "web") { report(where, "only the web helper includes its own files: \"" inc "\""); next }
    if (rank[il] > rank[layer]) { report(where, layer " includes the higher layer " il ": \"" inc "\""); next }
    if (layer == "ui" && area == "kit" && il == "services") {
        report(where, "ui/kit includes services: \"" inc "\" (the kit takes plain data)")
        next
    }
    if (il != layer || ia == area) next
    if (layer == "services" && area != "") {
        if (ia == "") report(where, "services/" area " includes the root state: \"" inc "\"")
        else if (areaRank(srank, ia) > areaRank(srank, area))
            report(where, "services/" area " includes the higher area services/" ia ": \"" inc "\"")
    }
    if (layer == "ui" && area != "" && ia != "" && areaRank(urank, ia) > areaRank(urank, area))
        report(where, "ui/" area " includes the higher area ui/" ia ": \"" inc "\"")
}
END {
    if (failures > 0) {
        print "check-layers: " failures " include(s) against the layering (docs/architecture.md)" > "/dev/stderr"
        exit 1
    }
}'
