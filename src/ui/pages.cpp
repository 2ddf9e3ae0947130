#include "ui/pages.h"

#include "ui_frmMainMultiparallel.h"
#include "ui_frmMainSide.h"
#include "ui_tsAux.h"
#include "ui_tsErrList.h"
#include "ui_tsMemory.h"
#include "ui_tsMZ40.h"
#include "ui_tsMZ40AdvVar.h"
#include "ui_tsParameters.h"
#include "ui_tsProgrammer.h"
#include "ui_tsRefCfgs.h"
#include "ui_tsRefs.h"
#include "ui_tsReset.h"
#include "ui_tsRQ9.h"
#include "ui_tsSafetyStop1.h"
#include "ui_tsSafetyStop2.h"
#include "ui_tsSettings.h"
#include "ui_tsSLS.h"
#include "ui_tsVarious.h"

#include <QTabWidget>

// The forms' images live in the core library, whose resources only load when asked for (and the
// macro cannot be used inside a namespace).
static void initFormResources()
{
    Q_INIT_RESOURCE(forms);
}

namespace ui {

namespace {

template <typename Form>
QWidget* makePage(QWidget* parent = nullptr)
{
    auto* page = new QWidget(parent);
    Form form;
    form.setupUi(page);
    return page;
}

// The tabs of pgcMain, in the form's order.
QWidget* (*const kPages[])(QWidget*) = {
    makePage<Ui::tsRefs>,        makePage<Ui::tsRefCfgs>,     makePage<Ui::tsRQ9>,       makePage<Ui::tsMZ40>,
    makePage<Ui::tsSafetyStop2>, makePage<Ui::tsSafetyStop1>, makePage<Ui::tsSLS>,       makePage<Ui::tsAux>,
    makePage<Ui::tsProgrammer>,  makePage<Ui::tsVarious>,     makePage<Ui::tsParameters>, makePage<Ui::tsMemory>,
    makePage<Ui::tsReset>,       makePage<Ui::tsMZ40AdvVar>,  makePage<Ui::tsErrList>,   makePage<Ui::tsSettings>,
};

} // namespace

void addPages(QTabWidget* tabs)
{
    initFormResources();
    for (auto make : kPages) {
        QWidget* page = make(nullptr);
        tabs->addTab(page, page->windowTitle());
    }
}

QWidget* createSidePanel(QWidget* parent)
{
    initFormResources();
    return makePage<Ui::pnlMainSide>(parent);
}

QWidget* createMultiparallelPanel(QWidget* parent)
{
    return makePage<Ui::pnlMainMultiparallel>(parent);
}

} // namespace ui
