#pragma once

// Every message box, file dialog and modal window of the program goes through here, so tests can
// answer them from a script and see exactly what the user would have seen.

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>

class QDialog;
class QWidget;

namespace ui {

enum class MessageKind { Information, Warning, Error, Question, WarningQuestion, Confirmation };

QString kindName(MessageKind kind);

class DialogSeam
{
public:
    virtual ~DialogSeam() = default;

    virtual void information(QWidget* parent, const QString& text) = 0;
    virtual void warning(QWidget* parent, const QString& text) = 0;
    virtual void error(QWidget* parent, const QString& text) = 0;
    // Yes/No; true for Yes. A warning question shows the warning icon.
    virtual bool question(QWidget* parent, const QString& text, bool warningIcon = false) = 0;
    // OK/Cancel; true for OK.
    virtual bool confirm(QWidget* parent, const QString& text) = 0;
    // The chosen file, or an empty text when cancelled. Filters as "Configuration files (*.cfg)".
    virtual QString openFile(QWidget* parent, const QString& caption, const QString& directory,
                             const QString& filter) = 0;
    virtual QString saveFile(QWidget* parent, const QString& caption, const QString& directory,
                             const QString& filter) = 0;
    // Shows one of our modal windows; its result (QDialog::Accepted or Rejected).
    virtual int run(QDialog* dialog) = 0;
};

// The seam in force: the real dialogs, unless a test installed its own.
DialogSeam& dialogs();
// Installs a seam (null: back to the real dialogs). The caller keeps ownership.
void setDialogs(DialogSeam* seam);

// A run nobody may be watching (the unattended LOADSAVE run): the real dialogs also write every
// message to standard error, and where no display can show them (an offscreen or minimal platform)
// they take their safe answer at once (No, Cancel, no file, the window rejected, a message
// acknowledged) instead of waiting for a click that never comes.
void setUnattendedRun(bool unattended);
bool unattendedRun();

// The real thing: QMessageBox, QFileDialog, QDialog::exec.
class RealDialogs : public DialogSeam
{
public:
    void information(QWidget* parent, const QString& text) override;
    void warning(QWidget* parent, const QString& text) override;
    void error(QWidget* parent, const QString& text) override;
    bool question(QWidget* parent, const QString& text, bool warningIcon) override;
    bool confirm(QWidget* parent, const QString& text) override;
    QString openFile(QWidget* parent, const QString& caption, const QString& directory, const QString& filter) override;
    QString saveFile(QWidget* parent, const QString& caption, const QString& directory, const QString& filter) override;
    int run(QDialog* dialog) override;
};

// A test's script: the messages it expects, in order, with their answers, the file names to give
// and what to do with our modal windows. Anything not scripted is recorded as a problem, answered
// with No/Cancel/an empty name, and reported by problems().
class ScriptedDialogs : public DialogSeam
{
public:
    ScriptedDialogs();
    ~ScriptedDialogs() override;

    // The next message must be of this kind with exactly this text; answer true = Yes/OK.
    // whileShown runs as the message is shown (what the window does while a message box is open).
    void expect(MessageKind kind, const QString& text, bool answer = true, std::function<void()> whileShown = {});
    void expectOpenFile(const QString& fileName);
    void expectSaveFile(const QString& fileName);
    // The next modal window of that objectName is handed to `handle` (which may fill it in) instead
    // of being shown; its result is returned.
    void expectDialog(const QString& objectName, std::function<int(QDialog*)> handle);

    // Every message shown, as "Kind: text".
    const QStringList& shown() const { return m_shown; }
    // Where the last file dialog was asked to start.
    const QString& lastFileDirectory() const { return m_lastFileDirectory; }
    // Unexpected messages and expectations left unused; empty when the script ran exactly.
    QStringList problems() const;
    void clear();

    void information(QWidget* parent, const QString& text) override;
    void warning(QWidget* parent, const QString& text) override;
    void error(QWidget* parent, const QString& text) override;
    bool question(QWidget* parent, const QString& text, bool warningIcon) override;
    bool confirm(QWidget* parent, const QString& text) override;
    QString openFile(QWidget* parent, const QString& caption, const QString& directory, const QString& filter) override;
    QString saveFile(QWidget* parent, const QString& caption, const QString& directory, const QString& filter) override;
    int run(QDialog* dialog) override;

private:
    struct Step
    {
        enum class Type { Message, OpenFile, SaveFile, Dialog } type;
        MessageKind kind = MessageKind::Information;
        QString text; // message text, file name or dialog objectName
        bool answer = true;
        std::function<int(QDialog*)> handle = {};
        std::function<void()> whileShown = {};
    };
    bool message(MessageKind kind, const QString& text);
    QString fileName(Step::Type type, const QString& what);

    std::deque<Step> m_steps;
    QStringList m_shown;
    QStringList m_problems;
    QString m_lastFileDirectory;
    DialogSeam* m_previous;
};

} // namespace ui
