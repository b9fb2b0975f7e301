// The ellipsoid management dialog: the ellipsoid catalogue, with the user's
// own ellipsoids. The shipped ones are listed in the program's list order of
// their names, as "name — description", the user's after them in the same
// order, marked "(用户)"; the selected one's name, semi-major axis, inverse
// flattening and description are shown.
//
// The fields also make a user ellipsoid: "添加" adds them as a new one,
// "修改" puts them in place of the selected user ellipsoid, "删除" removes
// it. Each change is written to the user table at once; the shipped rows
// cannot be changed here (they are changed in ellips.csv).
#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "engine/CoordSettings.h"
#include "tables/EllipsoidCatalogue.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tarnwell {

class CDlgEllips : public QDialog {
  Q_OBJECT

 public:
  explicit CDlgEllips(QWidget* parent = nullptr);

  void OnInitDialog();
  void OnSelectionChange();
  void OnAdd();
  void OnEdit();
  void OnRemove();

 signals:
  // The user table has changed, and the catalogue with it.
  void ellipsoidsChanged();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  struct ListEntry {
    std::string name;
    std::optional<std::size_t> userRow;  // index into UserEllipsoids(); none for a shipped row
  };

  // The ellipsoid the fields describe; nullopt, with a message, when the
  // second parameter is a semi-minor axis that fits no ellipsoid.
  std::optional<EllipsoidRecord> FieldsRecord() const;
  // The fields as a new user ellipsoid, or in place of the user row
  // `replacing`; refused with a message when they clash or are unsound.
  void StoreFields(std::optional<std::size_t> replacing);
  // Writes `records` as the user table, reloads and lists the catalogue and
  // selects `selectName`; false, with a message, when the table cannot be
  // written.
  bool StoreUserEllipsoids(const std::vector<EllipsoidRecord>& records, const std::string& selectName);
  // Refuses `change` (删除, 改名) of an ellipsoid the settings in force use,
  // with a message naming the places; true when refused.
  bool RefusedAsUsed(const std::string& name, const std::string& change) const;
  void ListCatalogue(const std::string& selectName);
  std::optional<std::size_t> SelectedUserRow() const;
  void UpdateButtons();

  QListWidget* ellipsoidList_ = nullptr;
  std::vector<ListEntry> listEntries_;  // in list order
  QLineEdit* name_ = nullptr;
  QLineEdit* semiMajorAxis_ = nullptr;
  QComboBox* secondParameter_ = nullptr;  // 1/f or b
  QLineEdit* inverseFlattening_ = nullptr;  // or the semi-minor axis
  QLineEdit* description_ = nullptr;
  QPushButton* add_ = nullptr;
  QPushButton* edit_ = nullptr;
  QPushButton* remove_ = nullptr;
};

// Where `settings` use the ellipsoid `name`, as the refusal names the places;
// empty when nowhere.
std::vector<std::string> EllipsoidUses(const CoordSettings& settings, const std::string& name);

}  // namespace tarnwell
