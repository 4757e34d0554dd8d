#pragma once
// The application around a layer editor for tests and benchmarks: a new
// design with an empty Vcc plane, a main form record (the current group)
// and the real undo history behind runCommand.

#include <functional>
#include <memory>
#include <string>

#include <QStringList>

#include "DesignAccess.h"
#include "CCGroup.h"
#include "CLayer.h"
#include "CVtrDoc.h"
#include "DesignHistory.h"
#include "QuietFormHost.h"
#include "RecordingInteraction.h"

namespace vantor::ui {

// A document with a main form record and the real undo history.
class LayerTestHost : public test::QuietFormHost {
public:
    LayerTestHost() {
        CLayer& l = *DesignAccess::Plane(doc);
        l.probes.clear();
        l.cutOuts.clear();
        l.capacitorGroups.clear();
        doc.SetModifiedFlag(false);
        history.Clear();
    }
    void runCommand(const QString& label, const std::function<void()>& command) override {
        history.Begin(label.toStdString());
        command();
        if (history.Commit()) labels << label;
    }

    CLayer& plane() { return *DesignAccess::Plane(doc); }
    std::string current() const { return doc.MainForm()->currentGroupName; }
    CCGroup& addGroup(double x, double y) {
        CCGroup& g = *plane().OwnGroup(doc.newGroup());
        g.posX = x;
        g.posY = y;
        return g;
    }
    CCutOut& addCutOut(double x1, double y1, double x2, double y2, const char* name, int inactive = 0) {
        plane().cutOuts.push_back(std::make_unique<CCutOut>(x1, y1, x2, y2, name));
        plane().cutOuts.back()->inactive = inactive;
        return *plane().cutOuts.back();
    }
    void addProbe(double x, double y, const char* name) {
        plane().probes.push_back(std::make_unique<CProbe>(x, y, name));
    }

    DesignHistory history{doc};
};

}  // namespace vantor::ui
