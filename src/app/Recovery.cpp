#include "Recovery.h"

#include "MainFormClass.h"
#include "QtText.h"
#include "fxr/FixtureReader.h"
#include "fxr/FixtureWriter.h"
#include "fxr/SaveFile.h"
#include "model/FixDatas.h"
#include "platform/Errors.h"
#include "platform/UserDialogs.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <optional>
#include <sstream>

namespace {

// The first line of a copy: this mark, the format to save in, and the file's directory and name.
constexpr std::string_view Mark = "// Rigsmith unsaved work";
constexpr int Slots = 16;

std::string CopyText(const TFixture &fixture)
{
    return std::string(Mark) + "\t" + std::to_string(fixture.FormatVersion) + "\t" + fixture.FileDir + "\t" +
           fixture.FileName + "\r\n" + FormatFixture(fixture, 2);
}

// The fixture a copy holds, with the file and format it had; nothing when it cannot be read.
std::optional<TFixture> ReadCopy(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    const qsizetype end = bytes.indexOf("\r\n");
    if (end < 0)
        return std::nullopt;
    const QList<QByteArray> fields = bytes.left(end).split('\t');
    if (fields.size() != 4 || fields[0].toStdString() != Mark)
        return std::nullopt;
    std::istringstream in(bytes.mid(end + 2).toStdString());
    TFixture fixture;
    try {
        ReadFixture(in, fixture);
    } catch (const std::exception &) {
        return std::nullopt;
    }
    fixture.FormatVersion = fields[1] == "1" ? 1 : 2;
    fixture.FileDir = fields[2].toStdString();
    fixture.FileName = fields[3].toStdString();
    return fixture;
}

} // namespace

TRecovery::TRecovery(const QString &directory, QObject *parent) : QObject(parent)
{
    connect(&timer_, &QTimer::timeout, this, [this] { Poll(); });
    if (!QDir().mkpath(directory))
        return;
    for (int slot = 0; slot < Slots; ++slot) {
        const QString base = QDir(directory).filePath("unsaved-" + QString::number(slot));
        auto lock = std::make_unique<QLockFile>(base + ".lock");
        // A slot stays taken for as long as its editor runs, however long that is.
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) {
            lock_ = std::move(lock);
            copyPath_ = base + ".fxr";
            return;
        }
    }
}

TRecovery::~TRecovery() = default;

QString TRecovery::DefaultDirectory()
{
    const QString configured = qEnvironmentVariable("RIGSMITH_RECOVERY_DIR");
    if (!configured.isEmpty())
        return configured;
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)).filePath("unsaved");
}

void TRecovery::Start(int intervalMs)
{
    if (Active())
        timer_.start(intervalMs);
}

void TRecovery::Poll()
{
    if (!Active())
        return;
    const TFixture &fixture = CurrentFixture();
    if (fixture.Saved) {
        Discard();
        return;
    }
    // A step the writers refuse, or a full disk, keeps the last copy; the next change tries again.
    try {
        std::string text = CopyText(fixture);
        if (text != written_ && ReplaceFileContents(PathFromQt(copyPath_), text))
            written_ = std::move(text);
    } catch (const std::exception &) {
    }
}

bool TRecovery::Offer(TMainFormClass &controller)
{
    if (!Active() || !QFile::exists(copyPath_))
        return false;
    std::optional<TFixture> copy = ReadCopy(copyPath_);
    const std::string name = copy && !copy->Name.empty() ? "\"" + copy->Name + "\"" : "a new fixture";
    if (!copy || Dialogs().Confirm("Rigsmith ended without saving the changes to " + name + ". Recover them?", false) !=
                     TAnswer::Yes) {
        Discard();
        return false;
    }
    controller.TakeUnsavedFixture(std::move(*copy));
    return true;
}

void TRecovery::Discard()
{
    if (!Active())
        return;
    QFile::remove(copyPath_);
    written_.clear();
}
