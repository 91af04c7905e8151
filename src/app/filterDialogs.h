#pragma once
// The filter dialogs: four that choose one item of a list (smoothing, sharpening,
// edge-preserving smoothing, de noise), edge detection with its two modes, and the user filter's
// 5 x 5 grid with k. Their rules are in shell/filterDialogRules.h.
#include "app/operationDialog.h"
#include "shell/dialogs/filterDialogRules.h"

#include <array>
#include <vector>

class QComboBox;
class QRadioButton;

namespace vellora::app {

// What tells one list dialog from another.
struct ListDialogKind {
    const char* title;
    const char* heading;
    const char* label;
    int listId;
    int saveCheckId;
    std::uint32_t ParameterBlock::*field;
    std::uint32_t ParameterBlock::*saveFlag;
    std::vector<std::string_view> (*items)();
};

class ListDialog : public OperationDialog {
    Q_OBJECT
  public:
    ListDialog(QWidget* owner, Session& session, const ListDialogKind& kind);

  protected:
    bool store(ParameterBlock& block) override;

  private:
    const ListDialogKind& kind_;
    std::uint32_t choice_;
};

class SmoothingDialog final : public ListDialog {
    Q_OBJECT
  public:
    SmoothingDialog(QWidget* owner, Session& session);
};
class SharpeningDialog final : public ListDialog {
    Q_OBJECT
  public:
    SharpeningDialog(QWidget* owner, Session& session);
};
class EdgePreservingDialog final : public ListDialog {
    Q_OBJECT
  public:
    EdgePreservingDialog(QWidget* owner, Session& session);
};
class DeNoiseDialog final : public ListDialog {
    Q_OBJECT
  public:
    DeNoiseDialog(QWidget* owner, Session& session);
};

class EdgeDetectDialog final : public OperationDialog {
    Q_OBJECT
  public:
    EdgeDetectDialog(QWidget* owner, Session& session);

  protected:
    bool store(ParameterBlock& block) override;

  private:
    QComboBox* addList(QBoxLayout* into, int id, std::vector<std::string_view> items, int place);
    void applyEnabling();

    std::uint32_t mode_;
    std::array<std::uint32_t, 3> choice_; // direction, operator, non-direction
    QRadioButton* directionRadio_ = nullptr;
    QRadioButton* nonDirectionRadio_ = nullptr;
    QComboBox* operators_ = nullptr;
    QComboBox* directions_ = nullptr;
    QComboBox* nonDirections_ = nullptr;
};

class UserFilterDialog final : public OperationDialog {
    Q_OBJECT
  public:
    UserFilterDialog(QWidget* owner, Session& session);

  protected:
    bool store(ParameterBlock& block) override;

  private:
    void buildGrid();
    void step(int place, bool up);
    void applyEnabling();

    UserFilterValues values_;
    std::array<ValueField*, kUserFilterValueCount> fields_{};
};

} // namespace vellora::app
