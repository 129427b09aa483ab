#pragma once

// Keeps a copy of unsaved work in the user's data directory, so that a crash, a killed process or
// a power cut loses at most the last few seconds of editing. Each running editor holds a slot of
// its own through a lock file; a copy found in a slot that no running editor holds was left by an
// editor that ended without saving, and is offered back at start.
//
// The copy is the model as JSON, which keeps every text exactly, whatever a fixture file could
// hold, and names the fixture's file by its absolute path. A copy is removed only once the user
// has answered for it or saved the work; one that cannot be read is moved aside and kept.

#include <QLockFile>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <string>

class TFixture;
class TMainFormClass;

class TRecovery : public QObject {
public:
    // Keeps copies of the fixture. Takes the first free slot in directory (made when missing);
    // without one, keeps no copies and says so once Start is called.
    TRecovery(const TFixture &fixture, const QString &directory, QObject *parent = nullptr);
    ~TRecovery() override;

    // The directory the editor uses: RIGSMITH_RECOVERY_DIR when set, else one in the user's data.
    static QString DefaultDirectory();

    bool Active() const { return lock_ != nullptr; }
    QString CopyPath() const { return copyPath_; }

    // Copies the fixture every interval while it is not saved.
    void Start(int intervalMs);
    // Writes the copy when the fixture is not saved and changed since the last copy; removes it
    // once the fixture is saved. The first copy that cannot be written is reported, once.
    void Poll();
    // The fixture changed: the next poll copies it. Until the first copy, every poll looks.
    void MarkChanged() { changed_ = true; }
    // Offers the copies left in this slot and in slots no running editor holds, one after the
    // other, until the user takes one: the controller then has it as unsaved work. True when it
    // did. startFile, when given, is the file the editor would open instead; the question names
    // it. A copy the user declines is removed; one that cannot be read is kept aside and reported.
    bool Offer(TMainFormClass &controller, const std::string &startFile = {});
    // Removes the copy: the editor ends and the user has saved or chosen not to.
    void Discard();

private:
    void Warn(const std::string &problem);
    // Offers the copy of the slot whose files begin with base, if there is one.
    bool OfferSlot(const QString &base, TMainFormClass &controller, const std::string &startFile);

    const TFixture &fixture_;
    QString directory_;
    std::unique_ptr<QLockFile> lock_;
    QString copyPath_;
    std::string problem_; // why no copies can be kept, until it is reported
    bool warned_ = false;
    std::string written_; // what the copy holds; empty when there is none
    bool changed_ = true;
    QTimer timer_;
};
