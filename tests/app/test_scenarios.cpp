// Window scenarios: plays the files of tests/data/app/scenarios on a main window as a user works
// it, through widgets found by name, real mouse and key events, and the scripted dialogs. The
// language is described in tests/data/app/scenarios/README.md.

#include "app/DmxPanel.h"
#include "app/GetData.h"
#include "app/Load800.h"
#include "fxr/FixtureWriter.h"
#include "palettes/PaletteWidgets.h"
#include "support/MainWindowHarness.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDirIterator>
#include <QImage>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabBar>
#include <QTableWidget>

#include <stdexcept>

namespace {

const QString ScenarioDir = QStringLiteral(RIGSMITH_APP_DATA "/scenarios");

// A line split into words; a quoted word may hold blanks and the escapes \" \\ \r \n \t.
QStringList Words(const QString &line)
{
    static const QRegularExpression word("\"((?:[^\"\\\\]|\\\\.)*)\"|(\\S+)");
    QStringList words;
    for (const QRegularExpressionMatch &m : word.globalMatch(line)) {
        QString text = m.captured(2);
        const QString quoted = m.captured(1);
        for (int i = 0; i < quoted.size(); ++i) {
            if (quoted[i] != '\\') {
                text += quoted[i];
                continue;
            }
            const QChar c = quoted[++i]; // the pattern leaves none at the end
            text += c == 'r' ? QChar('\r') : c == 'n' ? QChar('\n') : c == 't' ? QChar('\t') : c;
        }
        words << text;
    }
    return words;
}

QString Quoted(const QStringList &texts)
{
    QStringList quoted;
    for (QString text : texts)
        quoted << '"' + text.replace("\r", "\\r").replace("\n", "\\n") + '"';
    return quoted.isEmpty() ? "nothing" : quoted.join(' ');
}

void WriteBitmap(const QString &path, const QColor &colour)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(colour);
    image.save(path, "BMP");
}

struct EScenario : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// One scenario played on a fresh window: a scratch directory with program/ (palette icons and two
// gels), fixtures/, out/ and work/, the working directory, with its Fixtures/.
class TPlayer {
public:
    TPlayer() : window_("program", {"fixtures", "out", "work"})
    {
        for (const auto &[file, colour] : {std::pair{"Generic/x_OTHER", QColor(90, 90, 90)},
                                           {"Generic/Star", QColor(250, 220, 0)},
                                           {"Intensity/Full", QColor(255, 240, 150)},
                                           {"Prism/Prism 3", QColor(200, 220, 255)},
                                           {"Blade/Square", QColor(70, 70, 80)}})
            WriteBitmap(Program(QString("PaletteIcons/") + file + ".bmp"), colour);
        QDir().mkpath(Program("PaletteIcons/Colors"));
        QDir().mkpath(window_.Path("work/Fixtures")); // where the file dialogs start
        TMainWindowHarness::WriteBytes(Program("lee.txt"), "1\tTest Colour\t10\t20\t30\n2\tDeep Blue\t0\t0\t200\n");
        QDir::setCurrent(window_.Path("work"));
    }

    // Plays the scenario from the line after its header to the next header; a mismatch throws
    // with the line, what was expected and what was found.
    void Play(const QStringList &lines, int header)
    {
        for (int i = header + 1; i < lines.size() && !lines[i].startsWith("scenario "); ++i) {
            const QStringList w = Words(lines[i]);
            if (w.isEmpty() || w[0].startsWith('#'))
                continue;
            Line = i + 1;
            const bool action = w[0] != "check" && w[0] != "answer" && w[0] != "expect";
            if (action)
                Unchecked();
            Step(w);
            if (action)
                Settle();
        }
        Unchecked();
    }

    int Line = 0;

private:
    QString Program(const QString &relative) const { return window_.Path("program/" + relative); }
    // A path of the scenario: relative to the scratch directory.
    QString Path(const QString &path) const { return path.startsWith('/') ? path : window_.Path(path); }
    QString Text(QString text) const { return text.replace("$DIR", window_.Path({})); }

    [[noreturn]] void Fail(const QString &expected, const QString &found) const
    {
        throw EScenario(qPrintable(QString("line %1: expected %2, found %3").arg(Line).arg(expected, found)));
    }
    void Expect(const QString &what, const QString &expected, const QString &found) const
    {
        if (expected != found)
            Fail(what + ' ' + Quoted({expected}), Quoted({found}));
    }

    // After each action: every question asked was expected, and every queued answer was taken.
    void Settle()
    {
        TScriptedDialogs &d = window_.Dialogs();
        for (const std::string &asked : d.Questions) {
            if (questions_.isEmpty())
                Fail("no question", Quoted({QString::fromStdString(asked)}));
            Expect("the question", questions_.takeFirst(), QString::fromStdString(asked));
        }
        d.Questions.clear();
        if (!questions_.isEmpty())
            Fail("the question " + Quoted({questions_.front()}), "none");
        const std::pair<const char *, bool> left[] = {{"question", !d.Answers.empty()},
                                                      {"file", !d.Files.empty()},
                                                      {"name", !d.Inputs.empty()},
                                                      {"value", !d.Values.empty()},
                                                      {"filelist", !d.FileListChoices.empty()},
                                                      {"pick", !d.Picks.empty()},
                                                      {"mode", !d.Modes.empty()}};
        for (const auto &[kind, waiting] : left)
            if (waiting)
                Fail("every answer taken", QString("an answer %1 left over").arg(kind));
        if (!window_.Messages().isEmpty())
            messageLine_ = Line;
    }
    // Before the next action: every message shown was checked.
    void Unchecked() const
    {
        if (!window_.Messages().isEmpty())
            Fail(QString("a check of what line %1 showed").arg(messageLine_), Quoted(window_.Messages()));
    }

    QWidget *Widget(const QString &name) const
    {
        if (name == "focus")
            return QApplication::focusWidget();
        QWidget *root = dialog_ ? static_cast<QWidget *>(dialog_.get()) : &window_.Form();
        QWidget *widget = root->objectName() == name ? root : root->findChild<QWidget *>(name);
        if (!widget)
            Fail("a widget " + name, "none");
        return widget;
    }
    template <class T> T *As(const QString &name) const
    {
        auto *widget = qobject_cast<T *>(Widget(name));
        if (!widget)
            Fail(name + " of type " + T::staticMetaObject.className(), Widget(name)->metaObject()->className());
        return widget;
    }
    int Number(const QString &word) const
    {
        bool ok = false;
        const int n = word.toInt(&ok);
        if (!ok)
            Fail("a number", word);
        return n;
    }

    static QString TextOf(QWidget *w)
    {
        if (auto *e = qobject_cast<QLineEdit *>(w))
            return e->text();
        if (auto *e = qobject_cast<QPlainTextEdit *>(w))
            return e->toPlainText();
        if (auto *e = qobject_cast<QComboBox *>(w))
            return e->currentText();
        if (auto *e = qobject_cast<QDateEdit *>(w))
            return e->date().toString(Qt::ISODate);
        if (auto *e = qobject_cast<QSpinBox *>(w))
            return QString::number(e->value());
        if (auto *e = qobject_cast<QLabel *>(w))
            return e->text();
        if (auto *e = qobject_cast<QAbstractButton *>(w))
            return e->text();
        if (auto *e = qobject_cast<QTabWidget *>(w))
            return e->tabText(e->currentIndex()).remove('&');
        for (QRadioButton *radio : w->findChildren<QRadioButton *>()) // a radio group: its item
            if (radio->isChecked())
                return radio->text();
        return {};
    }
    // The rows of a grid or list, their cells joined by "|".
    static QStringList Rows(const QAbstractItemModel *model)
    {
        QStringList rows;
        for (int row = 0; row < model->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < model->columnCount(); ++column)
                cells << model->index(row, column).data().toString();
            rows << cells.join('|');
        }
        return rows;
    }
    static QString Caption(QAbstractButton *button)
    {
        auto *glyph = qobject_cast<TGlyphButton *>(button);
        return glyph ? glyph->Caption() : button->toolTip();
    }
    QList<QAbstractButton *> ButtonsOf(const QString &name) const
    {
        if (auto *box = qobject_cast<TScrollBox *>(Widget(name)))
            return box->Buttons();
        return Widget(name)->findChildren<QAbstractButton *>();
    }
    QAbstractButton *ButtonCaptioned(const QString &name, const QString &caption) const
    {
        for (QAbstractButton *button : ButtonsOf(name))
            if (Caption(button) == caption || button->text() == caption)
                return button;
        Fail("a button " + Quoted({caption}) + " in " + name, "none");
    }
    // The row's cell centre, scrolled into view.
    static QPoint Cell(QAbstractItemView *view, int row, int column)
    {
        view->scrollTo(view->model()->index(row, column));
        return view->visualRect(view->model()->index(row, column)).center();
    }
    void Click(QWidget *widget) const
    {
        if (!widget->isVisible())
            Fail(widget->objectName() + " visible", "hidden");
        // A radio button or check box takes clicks on its mark and caption only.
        const bool marked = qobject_cast<QRadioButton *>(widget) || qobject_cast<QCheckBox *>(widget);
        QTest::mouseClick(widget, Qt::LeftButton, {},
                          marked ? QPoint(8, widget->height() / 2) : widget->rect().center());
    }

    void Step(const QStringList &w)
    {
        const QString verb = w[0];
        const auto arg = [&](int i) {
            if (i >= w.size())
                Fail(QString("a word %1 after %2").arg(i).arg(verb), "the end of the line");
            return Text(w[i]);
        };
        TScriptedDialogs &d = window_.Dialogs();
        if (verb == "layout") {
            window_.Start(arg(1) == "compact");
            if (!QTest::qWaitForWindowActive(&window_.Form()))
                Fail("the window active", "it inactive");
        } else if (verb == "write") { // write PATH DATAFILE ["appended text"]
            TMainWindowHarness::WriteBytes(Path(arg(1)),
                                           TMainWindowHarness::Data(arg(2)) + (w.size() > 3 ? arg(3).toUtf8() : ""));
        } else if (verb == "text") { // text PATH "CONTENT"
            TMainWindowHarness::WriteBytes(Path(arg(1)), arg(2).toUtf8());
        } else if (verb == "remove") {
            QFile::remove(Path(arg(1)));
        } else if (verb == "load") {
            window_.Load(Path(arg(1)));
        } else if (verb == "open") { // open DATAFILE ["appended text"]: a copy in fixtures/, loaded
            Step({"write", "fixtures/" + arg(1), arg(1), w.value(2)});
            window_.Load(Path("fixtures/" + arg(1)));
            window_.Dialogs().FileDialogs.clear();
        } else if (verb == "tab") {
            auto *tabs = As<QTabWidget>(arg(1));
            for (int i = 0; i < tabs->count(); ++i)
                if (tabs->tabText(i).remove('&') == arg(2))
                    return QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(i).center());
            Fail("a tab " + arg(2), "none");
        } else if (verb == "click" || verb == "dclick") {
            if (w.size() == 2)
                return Click(Widget(arg(1)));
            if (arg(2) == "button")
                return Click(ButtonCaptioned(arg(1), arg(3)));
            auto *grid = As<QAbstractItemView>(arg(1));
            const QPoint at = arg(2) == "below" ? QPoint(10, grid->viewport()->height() - 5)
                                                : Cell(grid, Number(arg(3)), w.size() > 5 ? Number(arg(5)) : 0);
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
            if (verb == "dclick")
                QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
        } else if (verb == "type") { // into the field, which has the focus first as the user clicked in it
            Widget(arg(1))->setFocus();
            // Key clicks know only ASCII; other characters come as a keyboard sends them.
            for (const QChar c : arg(2))
                if (c.unicode() < 128)
                    QTest::keyClick(Widget(arg(1)), char(c.unicode()));
                else
                    QTest::sendKeyEvent(QTest::Click, Widget(arg(1)), Qt::Key_unknown, QString(c), Qt::NoModifier);
        } else if (verb == "key") {
            const QKeyCombination key = QKeySequence::fromString(arg(2))[0];
            Widget(arg(1))->setFocus();
            QTest::keyClick(Widget(arg(1)), key.key(), key.keyboardModifiers());
        } else if (verb == "pick") { // a list's item by its text, or a radio group's item
            QWidget *widget = Widget(arg(1));
            if (auto *list = qobject_cast<QComboBox *>(widget)) {
                const int index = list->findText(arg(2));
                if (index < 0)
                    Fail("an item " + arg(2) + " in " + arg(1), "none");
                list->setCurrentIndex(index);
                emit list->activated(index);
            } else {
                Click(ButtonCaptioned(arg(1), arg(2)));
            }
        } else if (verb == "focus") {
            Widget(arg(1))->setFocus();
        } else if (verb == "value-dialog") { // value-dialog "ATTRIBUTE" MIN MAX "LABEL" VALUE|- [time T]
            if (!value_)
                dialog_.reset(value_ = new TGetDataForm);
            const std::optional<int> value = arg(5) == "-" ? std::nullopt : std::optional(Number(arg(5)));
            value_->Fill({arg(1).toStdString(), Number(arg(2)), Number(arg(3)), arg(4).toStdString(), value,
                          w.value(6) == "time", w.value(6) == "time" ? Number(arg(7)) : 0});
            value_->show();
        } else if (verb == "dmx-panel") { // a new panel on the levels the ones before left
            dialog_ = std::make_unique<TfrmDmxPanel>(levels_);
            value_ = nullptr;
            dialog_->show();
        } else if (verb == "load-dialog") { // the compact layout's load list
            dialog_ = std::make_unique<TfrmLoad800>();
            value_ = nullptr;
            dialog_->show();
        } else if (verb == "mkdir") {
            QDir().mkpath(Path(arg(1)));
        } else if (verb == "show") {
            Widget(arg(1))->show();
        } else if (verb == "close") {
            (dialog_ ? static_cast<QWidget *>(dialog_.get()) : &window_.Form())->close();
        } else if (verb == "undo") {
            window_.Undo();
        } else if (verb == "redo") {
            window_.Redo();
        } else if (verb == "expect") { // expect question "TEXT" answer Yes|No|Cancel
            questions_ << arg(2);
            d.Answers.push_back(arg(4) == "Yes" ? TAnswer::Yes : arg(4) == "No" ? TAnswer::No : TAnswer::Cancel);
        } else if (verb == "answer") {
            Answer(w);
        } else if (verb == "check") {
            Check(w);
        } else {
            Fail("a command", verb);
        }
    }

    // Answers for the next dialogs, in order.
    void Answer(const QStringList &w)
    {
        TScriptedDialogs &d = window_.Dialogs();
        const QString kind = w.value(1), a = Text(w.value(2));
        const bool cancel = a == "cancel";
        const std::optional<std::string> text = cancel ? std::nullopt : std::optional(a.toStdString());
        if (kind == "file") // file dialogs and the compact layout's load list; relative to the scratch directory
            d.Files.push_back(cancel || a.isEmpty() ? text : std::optional(Path(a).toStdString()));
        else if (kind == "filelist") // the compact layout's save list: NAME DIRECTORY
            d.FileListChoices.push_back(
                cancel ? std::nullopt
                       : std::optional(TFileListChoice{a.toStdString(), Path(w.value(3)).toStdString()}));
        else if (kind == "name")
            d.Inputs.push_back(text);
        else if (kind == "value") // value [time T], empty or cancel
            d.Values.push_back(cancel
                                   ? std::nullopt
                                   : std::optional(TValueAnswer{a == "empty" ? std::nullopt : std::optional(Number(a)),
                                                                w.value(3) == "time" ? Number(w.value(4)) : 0}));
        else if (kind == "pick") { // NAME and the descriptor's fields, or cancel
            // type, control, bytes, path, inherit, show, locate
            static const int32_t scales[] = {1, 16, 64, 256, 4096, 16384, 65536};
            int32_t descriptor = 0;
            for (int i = 0; i < 7 && !cancel && w.size() > 3; ++i)
                descriptor += Number(w.value(3 + i)) * scales[i];
            d.Picks.push_back(cancel ? std::nullopt : std::optional(TPredefinedPick{a.toStdString(), descriptor}));
        } else if (kind == "mode")
            d.Modes.push_back(Number(a));
        else
            Fail("an answer of a kind", kind);
    }

    void Check(const QStringList &w)
    {
        const QString what = w.value(1);
        const auto arg = [&](int i) { return Text(w.value(i)); };
        const QStringList rest = [&] {
            QStringList texts;
            for (int i = 3; i < w.size(); ++i)
                texts << Text(w[i]);
            return texts;
        }();
        const auto yes = [&](const QString &word, bool value) { Expect(word, arg(2), value ? "yes" : "no"); };
        TScriptedDialogs &d = window_.Dialogs();
        if (what == "message") { // check message KIND "TEXT", the first not yet checked
            QStringList shown = window_.Messages();
            if (shown.isEmpty())
                Fail("a message " + Quoted({arg(2) + ": " + arg(3)}), "none");
            Expect("the message", arg(2) + ": " + arg(3), shown.front());
            d.Shown.erase(d.Shown.begin());
        } else if (what == "saved") {
            yes("saved", window_.Fixture().Saved);
        } else if (what == "undo") {
            yes("undo", window_.CanUndo());
        } else if (what == "redo") {
            yes("redo", window_.CanRedo());
        } else if (what == "answer") { // what the value dialog gives: "VALUE|none @ TIME", or cancelled
            if (!value_)
                Fail("a value dialog", "none");
            const TValueAnswer a = value_->Answer();
            Expect("the answer", arg(2),
                   value_->result() == QDialog::Rejected && !value_->isVisible()
                       ? "cancelled"
                       : (a.Value ? QString::number(*a.Value) : "none") + " @ " + QString::number(a.Time));
        } else if (what == "chosen") { // what the load list gives: a path, or cancelled
            auto *load = qobject_cast<TfrmLoad800 *>(dialog_.get());
            if (!load)
                Fail("a load list", "none");
            Expect("the choice", arg(2),
                   load->result() == QDialog::Rejected && !load->isVisible()
                       ? "cancelled"
                       : QString::fromStdString(load->SelectedPath()));
        } else if (what == "level") { // check level CHANNEL VALUE: the Dmx panel's output
            Expect("level " + arg(2), arg(3), QString::number(levels_[Number(arg(2))]));
        } else if (what == "panel") { // how often the Dmx panel was shown
            Expect("the Dmx panel shown", arg(2), QString::number(d.DmxPanelShown));
        } else if (what == "window") {
            Expect("the window", arg(2), window_.Form().isVisible() ? "open" : "closed");
        } else if (what == "file") { // check file PATH DATAFILE|missing: whole, byte for byte
            const QString path = Path(arg(2));
            if (arg(3) == "missing")
                return Expect(arg(2), "missing", QFile::exists(path) ? "present" : "missing");
            if (qEnvironmentVariableIsSet("RIGSMITH_WRITE_EXPECTED"))
                TMainWindowHarness::WriteBytes(QStringLiteral(RIGSMITH_APP_DATA "/") + arg(3),
                                               TMainWindowHarness::ReadBytes(path));
            Expect(arg(2) + " as", QString::fromUtf8(TMainWindowHarness::Data(arg(3))),
                   QString::fromUtf8(TMainWindowHarness::ReadBytes(path)));
        } else if (what == "fixture") { // the fixture in memory, written in format 2
            const QByteArray text = QByteArray::fromStdString(FormatFixture(window_.Fixture(), 2));
            if (qEnvironmentVariableIsSet("RIGSMITH_WRITE_EXPECTED"))
                TMainWindowHarness::WriteBytes(QStringLiteral(RIGSMITH_APP_DATA "/") + arg(2), text);
            Expect("the fixture as", QString::fromLatin1(TMainWindowHarness::Data(arg(2))), QString::fromLatin1(text));
        } else if (what == "files") { // the files of a directory
            Expect("in " + arg(2), rest.join(' '), QDir(Path(arg(2))).entryList(QDir::Files).join(' '));
        } else if (what == "focus") {
            const QWidget *focus = dialog_ ? dialog_->focusWidget() : QApplication::focusWidget();
            Expect("the focus on", arg(2), focus ? focus->objectName() : "");
        } else if (what == "request") { // what the value dialog was asked: "Attribute min..max label value @ time"
            if (d.ValueRequests.empty())
                return Expect("a value request", arg(2), "none");
            const TValueRequest r = d.ValueRequests.front();
            d.ValueRequests.erase(d.ValueRequests.begin());
            Expect("the value request", arg(2),
                   QString("%1 %2..%3 %4 %5%6")
                       .arg(QString::fromStdString(r.Attribute))
                       .arg(r.Min)
                       .arg(r.Max)
                       .arg(QString::fromStdString(r.ValueLabel), r.Value ? QString::number(*r.Value) : "-",
                            r.WithTime ? QString(" @ %1").arg(r.Time) : QString()));
        } else if (what == "dialog") { // the next picker, name, file or file-list dialog, as text
            std::string found = "none";
            if (!d.Pickers.empty())
                found = d.Pickers.front().first + " " + d.Pickers.front().second, d.Pickers.erase(d.Pickers.begin());
            else if (!d.NameDialogs.empty())
                found = d.NameDialogs.front().first + ": " + d.NameDialogs.front().second,
                d.NameDialogs.erase(d.NameDialogs.begin());
            else if (!d.FileDialogs.empty())
                found = d.FileDialogs.front().InitialDir + "/" + d.FileDialogs.front().FileName,
                d.FileDialogs.erase(d.FileDialogs.begin());
            else if (!d.FileListNames.empty())
                found = "list: " + d.FileListNames.front(), d.FileListNames.erase(d.FileListNames.begin());
            Expect("the dialog", arg(2), QString::fromStdString(found));
        } else if (what == "dialogs") { // none: no dialog was shown beyond those checked
            const std::size_t shown = d.Pickers.size() + d.NameDialogs.size() + d.FileDialogs.size() +
                                      d.FileListNames.size() + d.ValueRequests.size();
            Expect("dialogs shown", arg(2), shown ? QString::number(shown) : "none");
        } else {
            CheckWidget(what, arg(2), rest, w);
        }
    }

    // check WIDGET text|rows|selected|current|state|tabs|buttons|down ...
    void CheckWidget(const QString &name, const QString &aspect, const QStringList &rest, const QStringList &w)
    {
        QWidget *widget = Widget(name);
        const QString one = rest.value(0);
        if (aspect == "text")
            return Expect(name + " showing", one, TextOf(widget));
        if (aspect == "tip")
            return Expect(name + " with the tip", one, widget->toolTip());
        if (aspect == "is") { // enabled, disabled, checked, unchecked, visible, hidden
            const QMap<QString, bool> states{{"enabled", widget->isEnabled()},
                                             {"disabled", !widget->isEnabled()},
                                             {"visible", widget->isVisible()},
                                             {"hidden", !widget->isVisible()}};
            auto *button = qobject_cast<QAbstractButton *>(widget);
            const bool state = one == "checked" || one == "unchecked"
                                   ? button && button->isChecked() == (one == "checked")
                                   : states.value(one);
            return Expect(name + " is", one, state ? one : "not " + one);
        }
        if (aspect == "tabs") { // the captions of the tabs shown
            auto *tabs = As<QTabWidget>(name);
            QStringList shown;
            for (int i = 0; i < tabs->count(); ++i)
                if (tabs->isTabVisible(i))
                    shown << tabs->tabText(i).remove('&');
            return Expect(name + " showing tabs", rest.join(' '), shown.join(' '));
        }
        if (aspect == "buttons" || aspect == "down") { // captions of the buttons, or of those down
            QStringList captions;
            for (QAbstractButton *button : ButtonsOf(name))
                if (aspect == "buttons" || button->isChecked())
                    captions << Caption(button);
            return Expect(name + " with " + aspect, Quoted(rest), Quoted(captions));
        }
        auto *grid = As<QAbstractItemView>(name);
        const QString current = QString::number(grid->currentIndex().row());
        if (aspect == "rows") // check GRID rows "CELL|CELL" ..., all of them
            return Expect(name + " with the rows", Quoted(rest), Quoted(Rows(grid->model())));
        if (aspect == "row") // check GRID row N "CELL|CELL"
            return Expect(name + " row " + one, Text(w.value(4)), Rows(grid->model()).value(Number(one)));
        if (aspect == "selected") { // the rows highlighted and the current row
            QStringList rows;
            for (const QModelIndex &index : grid->selectionModel()->selectedRows())
                rows << QString::number(index.row());
            Expect(name + " highlighting", rest.join(' '), rows.join(' '));
            if (!rows.isEmpty())
                Expect(name + " with current row", rows.front(), current);
            return;
        }
        if (aspect == "current")
            return Expect(name + " with current row", one, current);
        Fail("a check", aspect);
    }

    TMainWindowHarness window_;
    std::unique_ptr<QDialog> dialog_; // a dialog played on its own, which widgets are looked for in
    TGetDataForm *value_ = nullptr;   // that dialog, when it is the value dialog
    TDmxLevels levels_{};
    QStringList questions_;
    int messageLine_ = 0;
};

} // namespace

class TestScenarios : public QObject {
    Q_OBJECT
    QString startDir_;

private slots:
    void initTestCase()
    {
        QApplication::setApplicationDisplayName("Rigsmith");
        qputenv("SOURCE_DATE_EPOCH", "1700049600"); // 15 November 2023, the date a save writes
        startDir_ = QDir::currentPath();
    }
    void cleanup() { QDir::setCurrent(startDir_); }

    // One row a scenario: its file and the line of its "scenario" header.
    void play_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("first");
        QDirIterator files(ScenarioDir, {"*.txt"}, QDir::Files);
        QStringList names;
        while (files.hasNext())
            names << files.next();
        names.sort();
        for (const QString &file : names) {
            const QStringList lines = QString::fromUtf8(TMainWindowHarness::ReadBytes(file)).split('\n');
            for (int i = 0; i < lines.size(); ++i)
                if (lines[i].startsWith("scenario "))
                    QTest::addRow("%s: %s", qPrintable(QFileInfo(file).fileName()), qPrintable(lines[i].mid(9)))
                        << file << i;
        }
    }
    void play()
    {
        QFETCH(QString, file);
        QFETCH(int, first);
        const QStringList lines = QString::fromUtf8(TMainWindowHarness::ReadBytes(file)).split('\n');
        TPlayer player;
        try {
            player.Play(lines, first);
        } catch (const EScenario &error) {
            QFAIL(qPrintable(QFileInfo(file).fileName() + ", " + error.what()));
        }
    }
};

QTEST_MAIN(TestScenarios)
#include "test_scenarios.moc"
