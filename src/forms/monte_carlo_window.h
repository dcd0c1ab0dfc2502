// The Monte Carlo window: a Calculation window (the design's parameters,
// an unknown solved by clicking its caption) with the simulation beneath
// it.  The number of simulated studies (or the half-width of the power's
// interval that decides it), the seed, the data model (where the
// procedure's simulator draws continuous observations) and the expected
// dropout are the window's planning settings; "Simulate" runs the studies
// on worker threads while the window stays responsive, shows how far they
// have come with the running estimate, and "Cancel" stops them keeping the
// studies done.  The results are the core's simulation lines, in the window
// and in its output, and the histogram of the P-values.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <optional>

#include "engine/simulation.h"
#include "forms/calc_window.h"
#include "forms/simulation_run.h"
#include "views/pvalue_histogram.h"

namespace pelmora {

class MonteCarloWindow : public CalcWindow {
  Q_OBJECT
 public:
  MonteCarloWindow(Dispatcher& d, int tag, ResultWindowHost& host, QWidget* parent = nullptr);

  // The rows as the Calculation window fills them, the simulation settings
  // of the session and the results of the last simulation.
  void Fill() override;
  // Solves for the unknown; the results of an earlier simulation are gone,
  // and a simulation under way is stopped and its results dropped.
  void Calculate() override;
  // Starts the simulation of the solved design (a message says why not).
  void Simulate();
  void CancelSimulation();
  // Writes the histogram to a file the user names (PNG, SVG or PDF).
  void ExportHistogram();

  bool isSimulating() const { return run_->isRunning(); }
  const std::optional<SimulationResult>& result() const { return result_; }

  QRadioButton* studiesOption() const { return optStudies_; }
  QLineEdit* studiesBox() const { return txtStudies_; }
  QRadioButton* halfWidthOption() const { return optHalfWidth_; }
  QLineEdit* halfWidthBox() const { return txtHalfWidth_; }
  QLineEdit* seedBox() const { return txtSeed_; }
  QComboBox* dataBox() const { return cboData_; }
  QLineEdit* dropoutBox() const { return txtDropout_; }
  QPushButton* simulateButton() const { return cmdSimulate_; }
  QPushButton* cancelButton() const { return cmdCancel_; }
  QProgressBar* progressBar() const { return prgSimulation_; }
  QLabel* progressText() const { return lblProgress_; }
  QLabel* results() const { return lblResults_; }
  PValueHistogramView* histogram() const { return picHistogram_; }
  QPushButton* exportButton() const { return cmdExport_; }

 signals:
  // A simulation ended (finished, cancelled or refused).
  void simulated();

 protected:
  int PlaceBelow(int top) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildPanel();
  // The settings of the session in the boxes.
  void ShowSettings();
  // A box or choice changed: the session's settings follow.
  void SettingsEdited();
  void ShowProgress(const SimulationProgress& p);
  void ShowOutcome(const SimulationOutcome& outcome);
  // The result lines in the window and in the session's output.
  void ShowResult();
  void SetRunning(bool running);

  QWidget* panel_;
  QRadioButton* optStudies_;
  QLineEdit* txtStudies_;
  QRadioButton* optHalfWidth_;
  QLineEdit* txtHalfWidth_;
  QLineEdit* txtSeed_;
  QComboBox* cboData_;
  QLineEdit* txtDropout_;
  QPushButton* cmdSimulate_;
  QPushButton* cmdCancel_;
  QProgressBar* prgSimulation_;
  QLabel* lblProgress_;
  QLabel* lblResults_;
  PValueHistogramView* picHistogram_;
  QPushButton* cmdExport_;
  SimulationRun* run_;
  std::optional<SimulationResult> result_;
  bool usesDataModel_ = true;
  bool showing_ = false;     // the boxes are being filled from the session
  bool discardRun_ = false;  // the design changed while a run went on
};

}  // namespace pelmora
