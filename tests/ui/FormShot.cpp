// Saves a picture of the main form over a design with a placed group, the
// group in the filter and a searched choke list, to look at.

#include <QApplication>
#include <QPixmap>

#include "CVtrView.h"
#include "FormTestHost.h"
#include "MainFormLogic.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        qWarning("usage: form_shot PICTURE.png");
        return 2;
    }
    vantor::test::TestHost host;
    vantor::ui::CVtrView view(host);
    vantor::NewGroupFromForm(host.doc);
    vantor::TransferToFilter(host.doc);
    host.doc.searchChoke();
    view.resize(view.sizeHint());
    view.show();
    app.processEvents();
    return view.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
