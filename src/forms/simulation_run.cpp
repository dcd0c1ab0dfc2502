#include "forms/simulation_run.h"

#include "engine/calculation.h"
#include "engine/window_activation.h"

namespace pelmora {

// What the worker owns: the session's copy, its dispatcher and modules, and
// a user interface that keeps what the engine says instead of showing it.
struct SimulationRun::Job {
  explicit Job(const Session& s) : session(s), dispatcher(session) { session.ReplaceUserInterface(&quiet); }
  RecordingUserInterface quiet;
  Session session;
  Dispatcher dispatcher;
  std::atomic<bool> cancel{false};
};

SimulationRun::SimulationRun(QObject* parent) : QObject(parent) {}

SimulationRun::~SimulationRun() {
  if (job_ != nullptr) job_->cancel = true;
  if (thread_.joinable()) thread_.join();
}

bool SimulationRun::Start(const Session& s, const SimulationRequest& request) {
  if (job_ != nullptr) return false;
  job_ = std::make_unique<Job>(s);
  Job* job = job_.get();
  thread_ = std::thread([this, job, request] {
    SimulationOutcome outcome;
    Dispatcher& d = job->dispatcher;
    ActivateWindowSettings(d, job->session.ActiveRecord);
    const SingleOutcome solved = CalculateSingle(d);
    if (solved == SingleOutcome::Rejected || solved == SingleOutcome::NotCalculable) {
      outcome.error = !job->quiet.messages.empty() ? job->quiet.LastText()
                      : job->session.ResultRemark.empty()
                          ? std::string("the design has no result to simulate")
                          : job->session.ResultRemark;
    } else {
      outcome = RunSimulation(d, request, job->cancel, [this](const SimulationProgress& p) {
        QMetaObject::invokeMethod(
            this, [this, p] { emit progressed(p); }, Qt::QueuedConnection);
      });
    }
    QMetaObject::invokeMethod(
        this, [this, outcome] { Finish(outcome); }, Qt::QueuedConnection);
  });
  return true;
}

void SimulationRun::Cancel() {
  if (job_ != nullptr) job_->cancel = true;
}

void SimulationRun::Finish(const SimulationOutcome& outcome) {
  if (thread_.joinable()) thread_.join();
  job_.reset();
  emit finished(outcome);
}

}  // namespace pelmora
