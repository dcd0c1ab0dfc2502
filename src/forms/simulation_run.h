// One Monte Carlo simulation of a window's design, run away from the
// user-interface thread.  It copies the session, restores the window's
// record into the copy with a dispatcher and a quiet user interface of its
// own, solves the unknown there and simulates; the window hears how far it
// has come and what came out through queued signals, on its own thread.
#pragma once

#include <QObject>
#include <atomic>
#include <memory>
#include <thread>

#include "engine/simulation.h"

namespace pelmora {

class SimulationRun : public QObject {
  Q_OBJECT
 public:
  explicit SimulationRun(QObject* parent = nullptr);
  // Stops a run that is still going and waits for it.
  ~SimulationRun() override;

  // Starts simulating the active record of `s` (its settings stored) as
  // `request` asks; false while a run is going.
  bool Start(const Session& s, const SimulationRequest& request);
  // Asks the run to stop; it finishes with the studies done so far.
  void Cancel();
  bool isRunning() const { return job_ != nullptr; }

 signals:
  void progressed(const pelmora::SimulationProgress& progress);
  void finished(const pelmora::SimulationOutcome& outcome);

 private:
  struct Job;
  void Finish(const SimulationOutcome& outcome);

  std::unique_ptr<Job> job_;
  std::thread thread_;
};

}  // namespace pelmora
