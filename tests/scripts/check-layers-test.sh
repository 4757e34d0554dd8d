#!/bin/bash
# Plants each kind of include that points up the layers (or brings Qt below
# render/) in a small tree and expects scripts/check-layers to name it; the
# clean tree passes.
set -u
CHECK=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT

fresh() {
    rm -rf "${tree:?}"/*
    mkdir -p "$tree"/{model,document,render,ui}
    echo '#pragma once' > "$tree/model/Values.h"
    echo '#pragma once' > "$tree/document/CVtrDoc.h"
    echo '#pragma once' > "$tree/ui/CVtrView.h"
    printf '#include "Values.h"\n#include <vector>\n#include <sys/stat.h>\n' > "$tree/document/CVtrDoc.cpp"
    printf '#include <QString>\n#include "CVtrDoc.h"\n' > "$tree/render/Picture.cpp"
}

failures=0
expect() {  # expect pass|fail WHAT
    local want=$1 what=$2 out rc
    out=$("$CHECK" "$tree" 2>&1)
    rc=$?
    if { [ "$want" = pass ] && [ $rc -ne 0 ]; } || { [ "$want" = fail ] && [ $rc -eq 0 ]; }; then
        echo "FAIL: $what: check-layers exited $rc"
        echo "$out"
        failures=$((failures + 1))
    fi
}

fresh
expect pass "a clean tree"

planted=(
    'model/Bad.cpp|#include "CVtrDoc.h"|a quoted include from a folder above'
    'model/Bad.cpp|#include <CVtrDoc.h>|an angle include from a folder above'
    'document/Bad.h|#  include <CVtrView.h>|an angle include with spaces, two folders up'
    'model/Bad.cpp|#include <QtCore>|a Qt module header'
    'document/Bad.cpp|#include <QtGlobal>|the QtGlobal header'
    'model/Bad.h|#include <qglobal.h>|a lower-case Qt header'
    'document/Bad.cpp|#include <QtCore/QString>|a Qt header with its module folder'
    'model/Bad.cpp|#include <QString>|a Qt class header'
)
for row in "${planted[@]}"; do
    IFS='|' read -r file line what <<<"$row"
    fresh
    echo "$line" > "$tree/$file"
    expect fail "$what"
done

[ $failures -eq 0 ] && echo "check-layers: every planted case found"
exit $failures
