#pragma once

#include <QString>

namespace toolkit {

// Starting another program and testing for a file. Tests replace the real
// launcher with a double that records, so that they never start a program.
class Launcher {
public:
    virtual ~Launcher() = default;
    // Starts the program at path as a separate process, with no shell and no
    // arguments, and returns at once; throws Error when it cannot be started.
    virtual void start(const QString& path) = 0;
    // The file's name when an ordinary file exists at path, otherwise empty.
    // Folders and hidden files do not count.
    virtual QString findFile(const QString& path) = 0;
};

class SystemLauncher final : public Launcher {
public:
    void start(const QString& path) override;
    QString findFile(const QString& path) override;
};

// The launcher in use; installs a replacement (nullptr restores the system's).
Launcher& launcher();
void setLauncher(Launcher* launcher);

}  // namespace toolkit
