#pragma once
// A document with the sample database behind a host that runs each
// command at once and records what the form asked of it.

#include <filesystem>

#include <QStringList>

#include "CVtrDoc.h"
#include "QuietFormHost.h"
#include "RecordingInteraction.h"

namespace vantor::test {

inline CSParameterDB& SampleDatabase() {
    static CSParameterDB db;
    static const bool loaded = [] {
        RecordingInteraction ui;
        return db.LoadDatabase(std::filesystem::path(VANTOR_SOURCE_DIR) / "Database", ui) > 0;
    }();
    (void)loaded;
    return db;
}

/// The main form attaches itself, so no stand-in record is attached.
class TestHost : public QuietFormHost {
public:
    TestHost() : QuietFormHost(SampleDatabase(), false) {}
};

}  // namespace vantor::test
