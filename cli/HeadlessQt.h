#pragma once
// Qt's drawing for the commands that write pictures (report, plot): Qt on
// its offscreen platform, so no display is needed.

#include <memory>

class QGuiApplication;

namespace vantor::cli {

/// Qt for this run while it lives; one at a time.
class HeadlessQt {
public:
    HeadlessQt();
    ~HeadlessQt();
    HeadlessQt(const HeadlessQt&) = delete;
    HeadlessQt& operator=(const HeadlessQt&) = delete;

private:
    std::unique_ptr<QGuiApplication> app_;
};

}  // namespace vantor::cli
