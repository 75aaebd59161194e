#pragma once

// Test doubles for the program's seams: message boxes, program end and the
// launcher record what they were asked instead of showing, ending or starting
// anything.

#include <QPointer>
#include <QString>
#include <QStringList>

#include <vector>

#include "toolkit/launcher.h"
#include "toolkit/lifecycle.h"
#include "toolkit/messagebox.h"

namespace testing {

struct ShownBox {
    QString text;
    int style;  // the program's number: 0, 16 or 48
    QString title;
    QPointer<QWidget> parent;  // the window the box belongs to
};

class FakeMessageBoxes final : public toolkit::MessageBoxes {
public:
    void show(const QString& text, toolkit::MsgStyle style, const QString& title,
              QWidget* parent) override {
        shown.push_back({text, static_cast<int>(style), title, parent});
    }
    std::vector<ShownBox> shown;
};

class FakeProgramEnd final : public toolkit::ProgramEnd {
public:
    void end(int status) override { statuses.push_back(status); }
    std::vector<int> statuses;
};

// Starts nothing and records every request. A start works for a path in
// `programs` (any path with `anyProgram`) and throws otherwise; a file is
// found at a path in `files` (any path with `anyFile`).
class FakeLauncher final : public toolkit::Launcher {
public:
    void start(const QString& path) override {
        started << path;
        if (!anyProgram && !programs.contains(path)) {
            throw toolkit::Error(QStringLiteral("Impossibile avviare «%1».").arg(path));
        }
    }
    QString findFile(const QString& path) override {
        tested << path;
        return anyFile || files.contains(path) ? QStringLiteral("MSINFO32.EXE") : QString();
    }
    bool anyProgram = false;
    bool anyFile = false;
    QStringList programs;
    QStringList files;
    QStringList started;
    QStringList tested;
};

}  // namespace testing
