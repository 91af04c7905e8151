#pragma once
// The tone dialogs: "gray scale", "black and white", "invert color image", "posterization" and
// "histogram modification". Their rules are in shell/toneDialogRules.h; these classes only show
// and read the controls.
#include "app/operationDialog.h"
#include "shell/dialogs/toneDialogRules.h"

#include <array>

class QGridLayout;
class QLabel;

namespace vellora::app {

class GrayScaleDialog final : public OperationDialog {
    Q_OBJECT
  public:
    GrayScaleDialog(QWidget* owner, Session& session);

  protected:
    bool store(ParameterBlock& block) override;

  private:
    void applyEnabling();

    GrayDialogValues values_;
    QCheckBox* diffusion_ = nullptr;
    QLabel* diffusionNote_ = nullptr;
};

class BlackWhiteDialog final : public OperationDialog {
    Q_OBJECT
  public:
    BlackWhiteDialog(QWidget* owner, Session& session);

  protected:
    bool store(ParameterBlock& block) override;

  private:
    void buildMethods();
    void buildStretch();
    void applyEnabling();

    BlackWhiteDialogValues values_;
    QCheckBox* diffusion_ = nullptr;
    QCheckBox* stretch_ = nullptr;
    ValueField* threshold_ = nullptr;
    ValueField* outset_ = nullptr;
    ValueField* endset_ = nullptr;
    QLabel* tilde_ = nullptr;
};

class InvertDialog final : public OperationDialog {
    Q_OBJECT
  public:
    InvertDialog(QWidget* owner, Session& session);

  protected:
    bool store(ParameterBlock& block) override;

  private:
    std::uint32_t depthIndex_;
};

class PosterizationDialog final : public OperationDialog {
    Q_OBJECT
  public:
    PosterizationDialog(QWidget* owner, Session& session);

  protected:
    bool store(ParameterBlock& block) override;

  private:
    void applyEnabling();

    PosterDialogValues values_;
    QCheckBox* common_ = nullptr;
    std::array<ValueField*, 4> fields_{}; // in PosterField order
};

class HistogramDialog final : public OperationDialog {
    Q_OBJECT
  public:
    HistogramDialog(QWidget* owner, Session& session);

  protected:
    bool store(ParameterBlock& block) override;

  private:
    void addChannel(QGridLayout* grid, std::size_t channel);
    void applyEnabling();

    HistogramDialogValues values_;
    std::array<ValueField*, 3> outsets_{};
    std::array<ValueField*, 3> endsets_{};
    std::array<QLabel*, 3> tildes_{};
};

// A field for the tone dialogs: shows `value` in decimal (any 64-bit value a block can hold),
// keeps `target` at the leading integer of what is typed, and steps it with `step` on an arrow.
ValueField* toneField(QWidget* parent, int editId, int upDownId, std::int64_t& target,
                      std::function<std::int64_t(std::int64_t, bool)> step);

} // namespace vellora::app
