#pragma once
// A document window with menus of its own (the graph window, the layer
// editor, the 3D view): while it is the active window, the main window's
// menu bar shows these menus instead of its own.

#include <QList>

class QMenu;

namespace vantor::ui {

class OwnMenus {
public:
    virtual ~OwnMenus() = default;
    /// The menus in their order; the window owns them.
    virtual QList<QMenu*> menus() = 0;
    /// True for a window whose edits are steps of the design's undo history;
    /// the main window then puts its "&Bearbeiten" menu behind the first one.
    virtual bool editsDesign() const { return false; }
};

}  // namespace vantor::ui
