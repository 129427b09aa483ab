#pragma once

// Keeps a copy of unsaved work in the user's data directory, so that a crash, a killed process or
// a power cut loses at most the last few seconds of editing. Each running editor holds a slot of
// its own through a lock file; a copy found in a slot that no running editor holds was left by an
// editor that ended without saving, and is offered back at start.

#include <QLockFile>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <string>

class TMainFormClass;

class TRecovery : public QObject {
public:
    // Takes the first free slot in directory (made when missing); without one, keeps no copies.
    explicit TRecovery(const QString &directory, QObject *parent = nullptr);
    ~TRecovery() override;

    // The directory the editor uses: RIGSMITH_RECOVERY_DIR when set, else one in the user's data.
    static QString DefaultDirectory();

    bool Active() const { return lock_ != nullptr; }
    QString CopyPath() const { return copyPath_; }

    // Copies the current fixture every interval while it is not saved.
    void Start(int intervalMs);
    // Writes the copy when the fixture is not saved and changed since the last copy; removes it
    // once the fixture is saved.
    void Poll();
    // Offers a copy left in this slot: on Yes the controller takes it as unsaved work. True when
    // it did. A copy that cannot be read, or that the user declines, is removed.
    bool Offer(TMainFormClass &controller);
    // Removes the copy: the editor ends and the user has saved or chosen not to.
    void Discard();

private:
    std::unique_ptr<QLockFile> lock_;
    QString copyPath_;
    std::string written_; // what the copy holds; empty when there is none
    QTimer timer_;
};
