// Undo and redo over the settings model: steps, gestures, the limit.
#include "core/equalizer/EqualizerModel.h"
#include "core/equalizer/SettingsHistory.h"

#include <QtTest>

#include <vector>

namespace {

// A script of words: "gL5=3" left band 5 to +3 dB, "r6" range 6, "c1" low
// cut on, "w50" bandwidth 50, "[" and "]" a gesture, "U" undo, "R" redo,
// "S" remembers the settings as they are.
std::vector<EqualizerSettings> Run(EqualizerModel &model, SettingsHistory &history, const QString &script)
{
    std::vector<EqualizerSettings> saved;
    for (const QString &word : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (word == QLatin1String("S")) {
            saved.push_back(model.Settings());
        } else if (word == QLatin1String("U")) {
            history.Undo();
        } else if (word == QLatin1String("R")) {
            history.Redo();
        } else if (word == QLatin1String("[")) {
            history.BeginGesture();
        } else if (word == QLatin1String("]")) {
            history.EndGesture();
        } else if (word.startsWith(QLatin1Char('g'))) {
            const QStringList parts = word.mid(2).split(QLatin1Char('='));
            model.SetGain(word.at(1) == QLatin1Char('L') ? 0 : 1, parts[0].toInt(), parts[1].toInt());
        } else if (word.startsWith(QLatin1Char('r'))) {
            model.SetRange(word.mid(1).toInt());
        } else if (word.startsWith(QLatin1Char('c'))) {
            model.SetLowCut(word.mid(1) == QLatin1String("1"));
        } else if (word.startsWith(QLatin1Char('w'))) {
            model.SetBandwidth(word.mid(1).toInt());
        }
    }
    return saved;
}

} // namespace

class tst_SettingsHistory : public QObject
{
    Q_OBJECT

private slots:
    void steps_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("endsAsSaved"); // index of the "S" the settings end equal to
        QTest::addColumn<bool>("canUndo");
        QTest::addColumn<bool>("canRedo");
        QTest::newRow("one move undone") << "S gL5=3 U" << 0 << false << true;
        QTest::newRow("and redone") << "gL5=3 S U R" << 0 << true << false;
        QTest::newRow("a drag is one step") << "S [ gL5=1 gL5=2 gL5=3 ] U" << 0 << false << true;
        QTest::newRow("range flattened, undone") << "gL5=3 gR9=-4 S r6 U" << 0 << true << true;
        QTest::newRow("low cut and bandwidth") << "S c1 w50 U U" << 0 << false << true;
        QTest::newRow("a change after undo drops redo") << "gL5=3 U gL6=2 S" << 0 << true << false;
        QTest::newRow("steps in order") << "S gL1=1 S gL2=2 gR3=3 U U" << 1 << true << true;
        QTest::newRow("nothing changed, no step") << "S c0 w1 r12" << 0 << false << false;
    }

    void steps()
    {
        QFETCH(QString, script);
        QFETCH(int, endsAsSaved);
        QFETCH(bool, canUndo);
        QFETCH(bool, canRedo);
        EqualizerModel model;
        SettingsHistory history(&model);
        const std::vector<EqualizerSettings> saved = Run(model, history, script);
        QVERIFY(model.Settings() == saved.at(endsAsSaved));
        QCOMPARE(history.CanUndo(), canUndo);
        QCOMPARE(history.CanRedo(), canRedo);
    }

    void oldestStepsGoBeyondTheLimit()
    {
        EqualizerModel model;
        SettingsHistory history(&model, nullptr, 100);
        EqualizerSettings afterFifty;
        for (int step = 1; step <= 150; ++step) {
            model.SetGain(step % 2, step % 65, step % 12 - 6);
            if (step == 50)
                afterFifty = model.Settings();
        }
        int undone = 0;
        while (history.CanUndo()) {
            history.Undo();
            ++undone;
        }
        QCOMPARE(undone, 100);
        QVERIFY(model.Settings() == afterFifty);
    }
};

QTEST_GUILESS_MAIN(tst_SettingsHistory)
#include "tst_settingshistory.moc"
