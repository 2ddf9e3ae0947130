#include "ui/hints.h"

#include "platform/inifile.h"
#include "ui/controlarrays.h"
#include "ui/formview.h"

#include <QVariant>
#include <QWidget>

namespace ui {

namespace {

constexpr HintTarget one(const char* name)
{
    return {name, 0};
}
constexpr HintTarget four(const char* pattern)
{
    return {pattern, 4};
}
constexpr HintTarget six(const char* pattern)
{
    return {pattern, 6};
}
constexpr HintTarget eight(const char* pattern)
{
    return {pattern, 8};
}

} // namespace

const std::array<HintEntry, kHintKeys> kHintTable = {{
    // Configuration buttons and the Programmer tab
    {"ReadConfig", {one("btnReadConfig")}},
    {"ProgramConfig", {one("btnProgramConfig")}},
    {"LoadConfig", {one("btnLoadConfig")}},
    {"SaveConfig", {one("btnSaveConfig")}},
    {"Download", {one("btnDownloadOnly")}},
    {"FileSelect", {one("btnFileSelect")}},
    {"HexFile", {one("edtHexFile")}},
    {"FactoryDefaults", {one("cbxFactoryDefaults")}},
    // Information panel
    {"Software", {one("lblSoftware")}},
    {"Version", {one("lblVersion")}},
    {"Serial", {one("lblSerial")}},
    {"Date", {one("lblDate")}},
    {"Hardware", {one("lblHW")}},
    {"Revision", {one("lblRev")}},
    {"Type", {one("lblType")}},
    {"State", {one("lblReady")}},
    {"Activations", {one("lblActivations")}},
    {"SitStands", {one("lblSitStands")}},
    // References
    {"Chan", {four("cmbChan#")}},
    {"ChanB", {four("cmbChan#B")}},
    {"Act", {four("cmbAct#")}},
    {"NoReferences", {one("gbRefSelection")}},
    {"3par", {one("rb3par")}},
    {"1Ref", {one("rb1Ref")}},
    {"2par", {one("rb2par")}},
    {"2p2par", {one("rb2p2par")}},
    {"Single", {one("rbSingle")}},
    {"Custom", {one("rbCustom")}},
    {"PnP", {one("rbPnP")}},
    // Reference setup
    {"Speed", {four("cmbSpeed#")}},
    {"SpeedDown", {four("cmbSpeedDown#")}},
    {"Stroke", {four("cmbStroke#")}},
    {"Lower", {four("cmbLower#")}},
    // SLS/EOP
    {"IgnUp", {four("cbxIgnUp#")}},
    {"IgnDw", {four("cbxIgnDw#")}},
    {"AcEnable", {four("cmbAcEnable#")}},
    {"ActUp", {four("cmbActUp#")}},
    {"ActDw", {four("cmbActDw#")}},
    {"SlsRetUp", {four("cmbSlsRetUp#")}},
    {"SlsRetDw", {four("cmbSlsRetDw#")}},
    {"EopRetUp", {four("cmbEopRetUp#")}},
    {"EopRetDw", {four("cmbEopRetDw#")}},
    // Stop Max and Stop Min
    {"SafeStrokeMax", {four("cmbSafeStrokeMax#")}},
    {"SafeStrokeMin", {four("cmbSafeStrokeMin#")}},
    {"SafeSpeedUp", {four("cmbSafeSpeedUp#")}},
    {"SafeSpeedDw", {four("cmbSafeSpeedDw#")}},
    {"SafeMaxUp", {four("cbxSafeMaxUp#")}},
    {"SafeMaxDw", {four("cbxSafeMaxDw#")}},
    {"SafeMinUp", {four("cbxSafeMinUp#")}},
    {"SafeMinDw", {four("cbxSafeMinDw#")}},
    {"SafeSpeedMaxUp", {four("cbxSafeSpeedMaxUp#")}},
    {"SafeSpeedMaxDw", {four("cbxSafeSpeedMaxDw#")}},
    {"SafeSpeedMinUp", {four("cbxSafeSpeedMinUp#")}},
    {"SafeSpeedMinDw", {four("cbxSafeSpeedMinDw#")}},
    {"SafeUnlockMax", {four("cbxUnlockMax#")}},
    {"SafeUnlockMin", {four("cbxUnlockMin#")}},
    {"SafeMemory", {four("cbxSafetyMem#")}},
    // Various, Custom and Settings
    {"Forced", {one("cmbForced"), one("cmbForcedLt")}},
    {"Par1", {one("cmbPar1")}},
    {"Par2", {one("cmbPar2")}},
    {"Par3", {one("cmbPar3")}},
    {"Par4", {one("cmbPar4")}},
    {"PowerSetting", {one("cmbPowerSetting")}},
    {"DisableZeroPower", {one("cbxDisableZero")}},
    {"ServiceToolReq", {four("cmbInitPlug#")}},
    {"ImpulseEnable", {four("cbxImpUp#"), four("cbxImpDw#"), four("cbxImpMem#")}},
    {"ImpulseStop", {one("rbImpStopAll"), one("rbImpStopExclude")}},
    {"PlugUse", {one("cmbPlugUse")}},
    // Aux/Massage
    {"AuxTO", {four("cmbAuxTO#")}},
    {"AuxType", {four("cmbAuxType#")}},
    {"AuxMax", {four("cmbAuxMax#")}},
    {"AuxMin", {four("cmbAuxMin#")}},
    {"AuxStep", {four("cmbAuxStep#")}},
    {"AuxVar", {four("cbxAuxVar#")}},
    {"AuxCirUp", {four("cbxAuxCirUp#")}},
    {"AuxCirDw", {four("cbxAuxCirDw#")}},
    {"AuxCirStop", {four("cbxAuxCirStop#")}},
    {"ExternUBL", {one("cbxExternUBL")}},
    {"HardWave", {one("cbxHardWave")}},
    {"SoftWave", {one("cbxSoftWave")}},
    {"HardPulse", {one("cbxHardPulse")}},
    {"SoftPulse", {one("cbxSoftPulse")}},
    {"Constant", {one("cbxCont")}},
    {"NextIsWave", {one("cbxMasNextIsWave")}},
    {"MasIntLow", {one("cmbMasIntLow")}},
    {"MasIntHi", {one("cmbMasIntHi")}},
    {"MasWaveMin", {one("cmbMasWaveMin")}},
    {"MasIntStep", {one("cmbMasIntStep")}},
    {"MasIntCirUp", {one("cbxMasIntCirUp")}},
    {"MasIntCirDw", {one("cbxMasIntCirDw")}},
    {"MasIntStop", {one("cbxMasIntStop")}},
    {"MasCycleLow", {one("cmbMasCycleLow")}},
    {"MasCycleHi", {one("cmbMasCycleHi")}},
    {"MasCycleStep", {one("cmbMasCycleStep")}},
    {"MasCycleCirUp", {one("cbxMasCycleCirUp")}},
    {"MasCycleCirDw", {one("cbxMasCycleCirDw")}},
    {"MasTO", {one("cmbMasTO")}},
    // Memory
    {"MemoryPos", {six("cbxMem#Pos")}},
    {"MemoryMassage", {six("cbxMem#Mas")}},
    {"MemoryAux1", {six("cbxMem#Aux1")}},
    {"MemoryAux2", {six("cbxMem#Aux2")}},
    {"MemoryAux3", {six("cbxMem#Aux3")}},
    {"MemoryAux4", {six("cbxMem#Aux4")}},
    {"MemoryImpulse", {six("cbxMem#Imp")}},
    {"MemoryLock", {six("cbxMem#Lock")}},
    {"MemorySetVal", {six("btnSetMem#")}},
    {"MemorySetOrder", {six("btnSetOrd#")}},
    // Reset
    {"ImpulseUp", {one("cbxImpResUp")}},
    {"ImpulseDw", {one("cbxImpResDw")}},
    {"ResetUpTarget", {eight("cmbRefUp#")}},
    {"ResetDownTarget", {eight("cmbRefDown#")}},
    {"ResetUpMassage", {one("cbxResDrvUpMas")}},
    {"ResetDownMassage", {one("cbxResDrvDownMas")}},
    {"ResetUpAUX", {four("cbxResDrvUpAux#")}},
    {"ResetDownAUX", {four("cbxResDrvDownAux#")}},
    {"ResetOrderPairUp", {one("cmbRefPairUp")}},
    {"ResetOrderPairDown", {one("cmbRefPairDown")}},
    {"ResetOrderDirectionUp", {one("cmbRefOrderUp")}},
    {"ResetOrderDirectionDown", {one("cmbRefOrderDown")}},
    // RQ9
    {"Rq9BackMax", {one("cmbRq9BMax")}},
    {"Rq9BackMin", {one("cmbRq9BMin")}},
    {"Rq9LegMax", {one("cmbRq9LMax")}},
    {"Rq9LegMin", {one("cmbRq9LMin")}},
    {"Rq9BackSpeedUp", {one("cmbRq9BSpeedUp")}},
    {"Rq9BackSpeedDown", {one("cmbRq9BSpeedDw")}},
    {"Rq9LegSpeedUp", {one("cmbRq9LSpeedUp")}},
    {"Rq9LegSpeedDown", {one("cmbRq9LSpeedDw")}},
    {"Rq9UblTimeout", {one("cmbRq9UblTO")}},
}};

// cmbStrokeLt is not among the reference-1 copies of old; without it the box would keep the
// form's English hint in every other language.
const std::array<HintCopy, 4> kHintCopies = {{
    {"cmbActLt", "cmbAct1"},
    {"cmbLowerLt", "cmbLower1"},
    {"cmbSafeStrokeMinLt", "cmbSafeStrokeMin1"},
    {"cmbStrokeLt", "cmbStroke1"},
}};

QStringList hintLanguages(const QString& hintFile)
{
    return platform::getProfileSectionNames(hintFile, platform::kIniSectionListBufferSize);
}

void applyHintLanguage(const FormView& view, const QString& hintFile, const QString& language, int productMode)
{
    for (const HintEntry& entry : kHintTable) {
        const QString text = platform::readIniText(language, QString::fromLatin1(entry.key), QString(), hintFile);
        if (text.isEmpty())
            continue;
        for (const HintTarget& target : entry.targets) {
            if (!target.name)
                break;
            const QString name = QString::fromLatin1(target.name);
            if (target.count == 0) {
                if (QWidget* control = lookupControl(view, name, 0)) {
                    control->setToolTip(text);
                    control->setProperty(kHintTagProperty, 0);
                }
                continue;
            }
            const int placeholder = int(text.indexOf(u'$'));
            for (int i = 0; i < target.count; ++i)
                if (QWidget* control = lookupControl(view, name, i)) {
                    QString hint = text;
                    control->setToolTip(hint.replace(u'$', QString::number(i + 1)));
                    control->setProperty(kHintTagProperty, placeholder);
                }
        }
    }
    for (const HintCopy& copy : kHintCopies) {
        QWidget* to = view.control(QString::fromLatin1(copy.to));
        const QWidget* from = view.control(QString::fromLatin1(copy.from));
        if (to && from) {
            to->setToolTip(from->toolTip());
            // The placeholder goes along, so the Settings tab's hints name reference 1 in every mode.
            to->setProperty(kHintTagProperty, from->property(kHintTagProperty));
        }
    }
    fillHintPlaceholder(view.control(QStringLiteral("cmbAct1")), 0, productMode);
}

void fillHintPlaceholder(QWidget* control, int reference, int productMode)
{
    if (!control)
        return;
    const int tag = control->property(kHintTagProperty).toInt();
    QString hint = control->toolTip();
    if (tag < 1 || tag >= hint.size())
        return;
    QChar mark = u'?';
    if (reference >= 0 && reference <= 7)
        mark = productMode == 0 ? QChar(u'1' + reference) : QChar(QStringLiteral("BLHFEEEE").at(reference));
    hint[tag] = mark;
    control->setToolTip(hint);
}

} // namespace ui
