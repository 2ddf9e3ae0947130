#include "app/colortime.h"

#include "ui/events.h"

#include "ui_frmColorTime.h"

TfrmColorTime::TfrmColorTime(QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::frmColorTime>())
{
    m_ui->setupUi(this);
    ui::onExit(m_ui->edtSeconds, [this](QWidget*) { edtSecondsExit(); });
    // OK leaves the field first, so what is stored is always corrected.
    connect(m_ui->btnOK, &QPushButton::clicked, this, [this] {
        edtSecondsExit();
        accept();
    });
}

TfrmColorTime::~TfrmColorTime() = default;

QLineEdit* TfrmColorTime::edtSeconds() const
{
    return m_ui->edtSeconds;
}

QString TfrmColorTime::correctedSeconds(const QString& text)
{
    bool ok = false;
    const long long seconds = text.trimmed().toLongLong(&ok);
    if (!ok)
        return QStringLiteral("5");
    if (seconds <= 0)
        return QStringLiteral("1");
    if (seconds > 30)
        return QStringLiteral("30");
    return QString::number(seconds);
}

void TfrmColorTime::edtSecondsExit()
{
    m_ui->edtSeconds->setText(correctedSeconds(m_ui->edtSeconds->text()));
}
