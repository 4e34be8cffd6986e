#pragma once

#include <functional>

#include <memory>
#include <optional>
#include <vector>

#include <QList>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include "jobs/JobInputs.h"
#include "station/PortWorker.h"

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ui {
class Prompts;
}

namespace station {

class StationTile;

// The operator's window: one tile per port, each port's line of units running at once, and
// nothing that edits the job, its files or the settings. Leaving asks first.
class StationWindow : public QWidget {
    Q_OBJECT
public:
    // Tiles repaint from their loops' snapshots at most this often.
    static constexpr int kRepaintMs = 100;

    explicit StationWindow(ui::Prompts& prompts, QWidget* parent = nullptr);
    ~StationWindow() override;

    // Starts a loop per port; false when the job cannot run, every tile saying why.
    bool Open(const QString& jobPath, const QStringList& ports, const QString& operatorName,
              const QString& ledgerPath);

    const QList<StationTile*>& Tiles() const { return tiles; }
    int Passed() const { return passed; }
    int Failed() const { return failed; }
    void SetSound(bool on);
    // Every failed tile back to waiting, its port free for the next unit.
    void AcknowledgeFailures();
    // Stops every loop and waits for them; the window then only shows what was.
    void StopAll();

    // Asks for the job's PIN; none when the operator cancels. Tests answer in its place.
    std::function<std::optional<QString>(const QString& prompt)> askPin;

signals:
    void left();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildTiles(const QStringList& ports);
    void ShowRefusal(const QString& why);
    void Refresh();
    void Scanned();
    void Beep(bool passed);
    void ShowCounters();
    void TellInterrupted(const std::vector<jobs::OpenUnit>& units, const QStringList& ports);
    bool MayLeave();

    ui::Prompts& prompts;
    std::optional<jobs::PreparedJob> job;
    std::optional<jobs::Job> readJob;  // as read, for its PIN even when it cannot run
    ScannedIds scanned;
    std::vector<std::unique_ptr<PortWorker>> workers;
    std::vector<int> endsSeen;
    QList<StationTile*> tiles;
    QTimer repaint;
    int passed = 0, failed = 0, earlierToday = 0;
    bool leaving = false;
    QLabel* jobLabel;
    QLabel* operatorLabel;
    QLabel* counters;
    QLabel* nextUnit;
    QLabel* notice;  // units an earlier run left open, until acknowledged
    QLineEdit* scanner;
    QCheckBox* sound;
    QPushButton* leave;
    QGridLayout* grid;
};

// The units recorded by this station today, from the ledger.
int UnitsRecordedToday(const QString& ledgerPath, const QString& station);

}  // namespace station
