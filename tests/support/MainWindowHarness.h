#pragma once

// A main window of either layout with scripted dialogs and its own scratch directory (by default
// the program directory), for the window scenarios and tests. Tests reach the window through its
// widgets; the controller only through the functions here.

#include "app/MainFormBase.h"
#include "model/FixClasses.h"
#include "platform/Paths.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TMainWindowHarness {
public:
    // The scratch directory is the program directory.
    TMainWindowHarness() : TMainWindowHarness(QString()) {}
    // The program directory is the sub-directory programDir of the scratch directory; the other
    // directories are made beside it. Valid() says whether all of them exist.
    explicit TMainWindowHarness(const QString &programDir, const QStringList &otherDirs = {})
        : dialogs_(std::make_unique<TScriptedDialogs>())
    {
        valid_ = dir_.isValid();
        QStringList dirs = otherDirs;
        dirs << programDir;
        for (const QString &sub : dirs)
            if (!sub.isEmpty())
                valid_ = valid_ && QDir(dir_.path()).mkdir(sub);
        SetProgramDir(Path(programDir).toStdString());
    }
    ~TMainWindowHarness()
    {
        if (form_)
            Fixture().Saved = true; // nothing asks when the window goes
        form_.reset();
        dialogs_.reset();
        SetProgramDir({});
    }
    TMainWindowHarness(const TMainWindowHarness &) = delete;
    TMainWindowHarness &operator=(const TMainWindowHarness &) = delete;

    bool Valid() const { return valid_; }

    // Opens the layout, empty, and shows it.
    void Start(bool compact)
    {
        Create(compact);
        form_->show();
    }
    // Answers the open dialog (or the compact layout's file list) with path and clicks "Load fixture".
    void Load(const QString &path)
    {
        dialogs_->Files.push_back(path.toStdString());
        QTest::mouseClick(Widget<QPushButton>("btnLoadFixture"), Qt::LeftButton);
    }
    // Destroys the window, keeping the dialogs and what they recorded.
    void CloseForm() { form_.reset(); }

    // The one way to the controller: the page classes being built will change these alone.
    TMainFormClass &Controller() { return *form_->Controller(); }
    TFixture &Fixture() const { return form_->Controller()->Fixture(); }
    void Undo() { Controller().Undo(); }
    void Redo() { Controller().Redo(); }
    bool CanUndo() const { return form_->Controller()->CanUndo(); }
    bool CanRedo() const { return form_->Controller()->CanRedo(); }

    TScriptedDialogs &Dialogs() { return *dialogs_; }
    TMainFormBase &Form() const { return *form_; }
    template <class T = QWidget> T *Widget(const QString &name) const { return form_->findChild<T *>(name); }
    QString Path(const QString &relative) const { return relative.isEmpty() ? dir_.path() : dir_.filePath(relative); }

    // Forgets what the dialogs recorded so far; queued answers stay.
    void Forget()
    {
        dialogs_->Shown.clear();
        dialogs_->Questions.clear();
        dialogs_->FileDialogs.clear();
        dialogs_->FileListNames.clear();
        dialogs_->NameDialogs.clear();
        dialogs_->ValueRequests.clear();
    }
    // Closes the window; a message not forgotten or an answer not taken fails the test.
    void Finish()
    {
        form_.reset();
        QVERIFY2(Messages().isEmpty(), qPrintable(Messages().join('\n')));
        const TScriptedDialogs &d = *dialogs_;
        QVERIFY2(d.Answers.empty() && d.Files.empty() && d.Inputs.empty(), "a queued answer was not asked for");
    }

    // Messages with their kinds, so that a failure prints what the user saw.
    QStringList Messages() const
    {
        static const char *const kinds[] = {"Warning", "Information", "Plain", "Error"}; // as TMessageKind
        QStringList messages;
        for (const TScriptedDialogs::TShown &shown : dialogs_->Shown)
            messages << kinds[static_cast<int>(shown.Kind)] + (": " + QString::fromStdString(shown.Text));
        return messages;
    }
    QStringList Questions() const
    {
        QStringList questions;
        for (const std::string &question : dialogs_->Questions)
            questions << QString::fromStdString(question);
        return questions;
    }

    // Writes the file, making its directory first.
    static void WriteBytes(const QString &path, const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
        file.write(bytes);
    }
    static QByteArray ReadBytes(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // A file of tests/data/app: fixtures to load and the files a save must write, whole.
    static QByteArray Data(const QString &name) { return ReadBytes(QStringLiteral(RIGSMITH_APP_DATA "/") + name); }

private:
    void Create(bool compact)
    {
        form_ = compact ? std::unique_ptr<TMainFormBase>(std::make_unique<TMainForm800>())
                        : std::unique_ptr<TMainFormBase>(std::make_unique<TMainForm>());
    }

    QTemporaryDir dir_;
    bool valid_ = false;
    std::unique_ptr<TScriptedDialogs> dialogs_;
    std::unique_ptr<TMainFormBase> form_;
};

// The base of the window tests in C++: Begin (from init) gives each test function a fresh window
// harness, Finish (from cleanup) ends it.
class TWindowTest : public QObject {
protected:
    void Begin(const QString &programDir = {}, const QStringList &otherDirs = {})
    {
        window_ = std::make_unique<TMainWindowHarness>(programDir, otherDirs);
        QVERIFY(window_->Valid());
        dialogs_ = &window_->Dialogs();
    }
    void Finish()
    {
        window_->Finish();
        dialogs_ = nullptr;
        window_.reset();
    }

    TMainFormClass &Controller() const { return window_->Controller(); }
    TFixture &Fixture() const { return window_->Fixture(); }

    std::unique_ptr<TMainWindowHarness> window_;
    TScriptedDialogs *dialogs_ = nullptr;
};
