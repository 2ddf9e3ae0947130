#include <QTest>
class TestActuators : public QObject
{
    Q_OBJECT
};
QTEST_MAIN(TestActuators)
#include "tst_actuators.moc"
