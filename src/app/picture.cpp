// File > Print configuration...: a JPEG picture of the configuration as the window shows it.

#include "app/frmmain.h"

#include "config/windowstate.h"
#include "platform/jpegfile.h"
#include "ui/dialogs.h"
#include "ui/events.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QTabWidget>

namespace app {

namespace {

// The labels of the information panel that the picture carries: captions, then values.
constexpr const char* kPictureLabels[] = {
    "lblSoftware0", "lblVersion0", "lblSerial0", "lblDate0", "lblActivations0", "lblSitStands0",
    "lblSoftware",  "lblVersion",  "lblSerial",  "lblDate",  "lblActivations",  "lblSitStands",
};

} // namespace

QColor TfrmMain::windowColour() const
{
    return centralWidget()->palette().color(QPalette::Window);
}

QImage TfrmMain::informationPicture() const
{
    QWidget* panel = control(QStringLiteral("gbInfo"));
    if (!panel)
        return {};
    QImage picture(panel->size(), QImage::Format_RGB32);
    picture.fill(windowColour());
    QPainter painter(&picture);
    for (const char* name : kPictureLabels) {
        auto* label = control<QLabel>(QString::fromLatin1(name));
        // What the window hides (a counter the product has not) stays out of the picture as well.
        if (!label || !panel->isAncestorOf(label) || !label->isVisibleTo(panel))
            continue;
        const QRect place(label->mapTo(panel, QPoint(0, 0)), label->size());
        painter.setFont(label->font());
        // Readable whether or not a box is connected (the panel greys its labels without one).
        painter.setPen(label->palette().color(QPalette::Active, QPalette::WindowText));
        painter.drawText(place, int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0), label->text());
    }
    return picture;
}

QImage TfrmMain::configurationPicture()
{
    if (!m_state->advanced) {
        // The client area as drawn: everything below the menu bar.
        const int top = menuBar() && menuBar()->isVisible() ? menuBar()->height() : 0;
        return grab(QRect(0, top, width(), height() - top)).toImage().convertToFormat(QImage::Format_RGB32);
    }

    QTabWidget* tabs = pgcMain();
    QList<int> shown;
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->isTabVisible(i))
            shown << i;
    const int w = tabs->width();
    const int h = tabs->height();
    const QImage info = informationPicture();
    const int rows = int((shown.size() + 1) / 2);
    QImage mosaic(2 * w, h * rows + info.height(), QImage::Format_RGB32);
    // Cells no tab fills and the strip below them show the window's colour.
    mosaic.fill(windowColour());
    QPainter painter(&mosaic);

    QWidget* remembered = tabs->currentWidget();
    for (int k = 0; k < shown.size(); ++k) {
        QWidget* page = tabs->widget(shown[k]);
        setActivePage(page);
        // The page is drawn off screen, laid out as it would be when shown.
        page->ensurePolished();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const QPixmap cell = tabs->grab();
        painter.drawPixmap(QRect((k % 2) * w, (k / 2) * h, w, h), cell);
    }
    setActivePage(remembered);
    if (!info.isNull())
        painter.drawImage(0, h * rows, info);
    return mosaic;
}

void TfrmMain::mniPrintClick()
{
    // The box being typed in gets its rule first; the picture shows the value it keeps.
    ui::finishEntry(this);
    QString name = ui::dialogs().saveFile(this, QStringLiteral("Save configuration picture"), QString(),
                                          QStringLiteral("JPEG Image File (*.jpg)"));
    if (name.isEmpty())
        return;
    if (QFileInfo(name).suffix().isEmpty())
        name += name.endsWith(u'.') ? QStringLiteral("jpg") : QStringLiteral(".jpg");
    // As for configuration files, an earlier picture is replaced only when the user says so.
    if (QFileInfo::exists(name) && !ui::dialogs().question(this, QStringLiteral("File exists. Overwrite?")))
        return;
    const QImage picture = configurationPicture();
    QString reason;
    if (!platform::writeJpegFile(picture, name, &reason))
        ui::dialogs().error(this, QStringLiteral("Cannot create file \"%1\".\n\n%2").arg(QDir::toNativeSeparators(name), reason));
}

} // namespace app
