#include "ui/dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QTextStream>

namespace ui {

namespace {

DialogSeam* g_seam = nullptr;
bool g_unattended = false;

QString title()
{
    return QApplication::applicationName();
}

// No screen anybody could see: the platforms of scripts and build pipelines.
bool noDisplay()
{
    const QString platform = QGuiApplication::platformName();
    return platform == u"offscreen" || platform == u"minimal";
}

// One line per message on standard error, its further lines indented under it.
void report(const QString& what, const QString& text)
{
    if (!g_unattended)
        return;
    QString lines = text;
    lines.replace(u'\n', QStringLiteral("\n    "));
    QTextStream(stderr) << QApplication::applicationName() + QStringLiteral(": ") + what + QStringLiteral(": ") + lines
                        << Qt::endl;
}

// In an unattended run without a display: the answer given, reported; false when a user can answer.
bool answeredForTheUser(const QString& answer)
{
    if (!g_unattended || !noDisplay())
        return false;
    report(QStringLiteral("no display, answered"), answer);
    return true;
}

QMessageBox::StandardButton box(QWidget* parent, QMessageBox::Icon icon, const QString& kind, const QString& text,
                                QMessageBox::StandardButtons buttons, QMessageBox::StandardButton preferred)
{
    report(kind, text);
    if (buttons & QMessageBox::No) {
        if (answeredForTheUser(QStringLiteral("No")))
            return QMessageBox::No;
    } else if (buttons & QMessageBox::Cancel) {
        if (answeredForTheUser(QStringLiteral("Cancel")))
            return QMessageBox::Cancel;
    } else if (answeredForTheUser(QStringLiteral("OK"))) {
        return QMessageBox::Ok;
    }
    QMessageBox message(icon, title(), text, buttons, parent);
    message.setDefaultButton(preferred);
    return QMessageBox::StandardButton(message.exec());
}

} // namespace

QString kindName(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Information: return QStringLiteral("Information");
    case MessageKind::Warning: return QStringLiteral("Warning");
    case MessageKind::Error: return QStringLiteral("Error");
    case MessageKind::Question: return QStringLiteral("Question");
    case MessageKind::WarningQuestion: return QStringLiteral("WarningQuestion");
    case MessageKind::Confirmation: return QStringLiteral("Confirmation");
    }
    return QString();
}

DialogSeam& dialogs()
{
    static RealDialogs real;
    return g_seam ? *g_seam : real;
}

void setDialogs(DialogSeam* seam)
{
    g_seam = seam;
}

void setUnattendedRun(bool unattended)
{
    g_unattended = unattended;
}

bool unattendedRun()
{
    return g_unattended;
}

void RealDialogs::information(QWidget* parent, const QString& text)
{
    box(parent, QMessageBox::Information, kindName(MessageKind::Information), text, QMessageBox::Ok, QMessageBox::Ok);
}

void RealDialogs::warning(QWidget* parent, const QString& text)
{
    box(parent, QMessageBox::Warning, kindName(MessageKind::Warning), text, QMessageBox::Ok, QMessageBox::Ok);
}

void RealDialogs::error(QWidget* parent, const QString& text)
{
    box(parent, QMessageBox::Critical, kindName(MessageKind::Error), text, QMessageBox::Ok, QMessageBox::Ok);
}

bool RealDialogs::question(QWidget* parent, const QString& text, bool warningIcon)
{
    return box(parent, warningIcon ? QMessageBox::Warning : QMessageBox::Question,
               kindName(warningIcon ? MessageKind::WarningQuestion : MessageKind::Question), text,
               QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
           == QMessageBox::Yes;
}

bool RealDialogs::confirm(QWidget* parent, const QString& text)
{
    return box(parent, QMessageBox::Question, kindName(MessageKind::Confirmation), text, QMessageBox::Ok | QMessageBox::Cancel,
               QMessageBox::Ok)
           == QMessageBox::Ok;
}

QString RealDialogs::openFile(QWidget* parent, const QString& caption, const QString& directory, const QString& filter)
{
    report(QStringLiteral("Open file"), caption.isEmpty() ? filter : caption);
    if (answeredForTheUser(QStringLiteral("no file")))
        return QString();
    return QFileDialog::getOpenFileName(parent, caption, directory, filter);
}

QString RealDialogs::saveFile(QWidget* parent, const QString& caption, const QString& directory, const QString& filter)
{
    report(QStringLiteral("Save file"), caption.isEmpty() ? filter : caption);
    if (answeredForTheUser(QStringLiteral("no file")))
        return QString();
    // The program asks about overwriting itself, in its own words.
    return QFileDialog::getSaveFileName(parent, caption, directory, filter, nullptr, QFileDialog::DontConfirmOverwrite);
}

int RealDialogs::run(QDialog* dialog)
{
    report(QStringLiteral("Window"), dialog->windowTitle().isEmpty() ? dialog->objectName() : dialog->windowTitle());
    if (answeredForTheUser(QStringLiteral("Cancel")))
        return QDialog::Rejected;
    return dialog->exec();
}

ScriptedDialogs::ScriptedDialogs()
    : m_previous(g_seam)
{
    setDialogs(this);
}

ScriptedDialogs::~ScriptedDialogs()
{
    setDialogs(m_previous);
}

void ScriptedDialogs::expect(MessageKind kind, const QString& text, bool answer, std::function<void()> whileShown)
{
    m_steps.push_back({Step::Type::Message, kind, text, answer, {}, std::move(whileShown)});
}

void ScriptedDialogs::expectOpenFile(const QString& fileName)
{
    m_steps.push_back({Step::Type::OpenFile, MessageKind::Information, fileName, true, {}});
}

void ScriptedDialogs::expectSaveFile(const QString& fileName)
{
    m_steps.push_back({Step::Type::SaveFile, MessageKind::Information, fileName, true, {}});
}

void ScriptedDialogs::expectDialog(const QString& objectName, std::function<int(QDialog*)> handle)
{
    m_steps.push_back({Step::Type::Dialog, MessageKind::Information, objectName, true, std::move(handle)});
}

QStringList ScriptedDialogs::problems() const
{
    QStringList all = m_problems;
    for (const Step& step : m_steps) {
        switch (step.type) {
        case Step::Type::Message:
            all << QStringLiteral("expected but not shown: %1: %2").arg(kindName(step.kind), step.text);
            break;
        case Step::Type::OpenFile: all << QStringLiteral("open file dialog expected, not shown"); break;
        case Step::Type::SaveFile: all << QStringLiteral("save file dialog expected, not shown"); break;
        case Step::Type::Dialog: all << QStringLiteral("window %1 expected, not shown").arg(step.text); break;
        }
    }
    return all;
}

void ScriptedDialogs::clear()
{
    m_steps.clear();
    m_shown.clear();
    m_problems.clear();
}

bool ScriptedDialogs::message(MessageKind kind, const QString& text)
{
    m_shown << kindName(kind) + QStringLiteral(": ") + text;
    if (!m_steps.empty() && m_steps.front().type == Step::Type::Message && m_steps.front().kind == kind
        && m_steps.front().text == text) {
        const bool answer = m_steps.front().answer;
        const std::function<void()> whileShown = std::move(m_steps.front().whileShown);
        m_steps.pop_front();
        if (whileShown)
            whileShown();
        return answer;
    }
    m_problems << QStringLiteral("unexpected %1: %2").arg(kindName(kind), text);
    return false;
}

QString ScriptedDialogs::fileName(Step::Type type, const QString& what)
{
    if (!m_steps.empty() && m_steps.front().type == type) {
        const QString name = m_steps.front().text;
        m_steps.pop_front();
        return name;
    }
    m_problems << QStringLiteral("unexpected %1 dialog").arg(what);
    return QString();
}

void ScriptedDialogs::information(QWidget*, const QString& text)
{
    message(MessageKind::Information, text);
}

void ScriptedDialogs::warning(QWidget*, const QString& text)
{
    message(MessageKind::Warning, text);
}

void ScriptedDialogs::error(QWidget*, const QString& text)
{
    message(MessageKind::Error, text);
}

bool ScriptedDialogs::question(QWidget*, const QString& text, bool warningIcon)
{
    return message(warningIcon ? MessageKind::WarningQuestion : MessageKind::Question, text);
}

bool ScriptedDialogs::confirm(QWidget*, const QString& text)
{
    return message(MessageKind::Confirmation, text);
}

QString ScriptedDialogs::openFile(QWidget*, const QString&, const QString& directory, const QString&)
{
    m_lastFileDirectory = directory;
    return fileName(Step::Type::OpenFile, QStringLiteral("open file"));
}

QString ScriptedDialogs::saveFile(QWidget*, const QString&, const QString& directory, const QString&)
{
    m_lastFileDirectory = directory;
    return fileName(Step::Type::SaveFile, QStringLiteral("save file"));
}

int ScriptedDialogs::run(QDialog* dialog)
{
    const QString name = dialog ? dialog->objectName() : QString();
    m_shown << QStringLiteral("Window: ") + name;
    if (!m_steps.empty() && m_steps.front().type == Step::Type::Dialog && m_steps.front().text == name) {
        auto handle = std::move(m_steps.front().handle);
        m_steps.pop_front();
        return handle ? handle(dialog) : QDialog::Rejected;
    }
    m_problems << QStringLiteral("unexpected window %1").arg(name);
    return QDialog::Rejected;
}

} // namespace ui
