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
};

}  // namespace vantor::ui
