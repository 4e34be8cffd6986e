#include <QtTest>

#include "ui/ScriptedPrompts.h"

using Answer = ui::Prompts::Answer;
using Kind = ui::ScriptedPrompts::ChooserKind;

class ScriptedPromptsTest : public QObject {
    Q_OBJECT

private slots:
    void questionsTakeQueuedAnswersThenCancel();
    void choosersAreRecordedAndAnsweredFromTheQueueThenCancelled();
};

void ScriptedPromptsTest::questionsTakeQueuedAnswersThenCancel() {
    ui::ScriptedPrompts prompts;
    prompts.answers << Answer::No << Answer::Yes;
    QCOMPARE(prompts.Question("q1"), Answer::No);
    QCOMPARE(prompts.Question("q2"), Answer::Yes);
    QCOMPARE(prompts.Question("q3"), Answer::Cancel);
    QCOMPARE(prompts.questions, (QStringList{"q1", "q2", "q3"}));
    QVERIFY(prompts.messages.isEmpty());
}

void ScriptedPromptsTest::choosersAreRecordedAndAnsweredFromTheQueueThenCancelled() {
    ui::ScriptedPrompts prompts;
    prompts.fileAnswers << QString("/tmp/a.kxo") << std::nullopt << QString("/tmp/b.dat");
    ui::FileChooser open{"txt", "程序.kxo", "Text Files(*.kxo)|*.kxo||", true, false, {}};
    ui::FileChooser save{"dat", "par.dat", {}, false, true, "Save"};

    QCOMPARE(prompts.ChooseOpenFile(open).value_or("<cancelled>"), QString("/tmp/a.kxo"));
    QVERIFY(!prompts.ChooseSaveFile(save).has_value());
    QCOMPARE(prompts.ChooseOpenFile(open).value_or("<cancelled>"), QString("/tmp/b.dat"));
    QVERIFY(!prompts.ChooseSaveFile(save).has_value());

    QCOMPARE(prompts.chooserKinds, (QList<Kind>{Kind::Open, Kind::Save, Kind::Open, Kind::Save}));
    QCOMPARE(prompts.choosers.size(), 4);
    QCOMPARE(prompts.choosers[0].initialFileName, QString("程序.kxo"));
    QVERIFY(prompts.choosers[0].overwritePrompt);
    QCOMPARE(prompts.choosers[1].defaultExtension, QString("dat"));
    QVERIFY(prompts.choosers[1].mustExist);
    QCOMPARE(prompts.choosers[1].title, QString("Save"));
}

QTEST_APPLESS_MAIN(ScriptedPromptsTest)
#include "ScriptedPromptsTest.moc"
