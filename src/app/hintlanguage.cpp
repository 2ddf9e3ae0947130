// Settings > Hint language: the languages of the hint file, applied to the window's hints.

#include "app/frmmain.h"

#include "config/channels.h"
#include "config/windowstate.h"
#include "ui/hints.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

namespace app {

void TfrmMain::buildHintLanguageMenu()
{
    auto* menu = findChild<QMenu*>(QStringLiteral("mniHintLanguage"));
    if (!menu)
        return;
    const QString remembered = m_settings.hintLanguage();
    const QStringList languages = ui::hintLanguages(m_hintFilePath);
    if (languages.isEmpty()) {
        menu->menuAction()->setVisible(false);
        return;
    }
    // One language at a time, shown with round marks.
    auto* group = new QActionGroup(menu);
    for (const QString& language : languages) {
        auto* item = new QAction(menu);
        group->addAction(item);
        // Shown as the file names it: an '&' is a character, not an accelerator.
        item->setText(QString(language).replace(u'&', QStringLiteral("&&")));
        item->setData(language);
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, item] { mniHintLanguageClick(item); });
        menu->addAction(item);
        if (language == remembered)
            mniHintLanguageClick(item);
    }
}

void TfrmMain::mniHintLanguageClick(QAction* item)
{
    auto* menu = findChild<QMenu*>(QStringLiteral("mniHintLanguage"));
    if (!item || !menu || item == menu->menuAction())
        return;
    const QString language = item->data().toString();
    ui::applyHintLanguage(*this, m_hintFilePath, language, m_state->productMode);
    // The rows' hints named their row again; they name their reference as before the switch.
    config::fillReferenceHints(*this, *m_state);
    for (QAction* other : menu->actions())
        other->setChecked(other == item);
    m_settings.setHintLanguage(language);
}

} // namespace app
