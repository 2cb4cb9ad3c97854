#include "core/fields_model.h"

#include <charconv>

#include "core/char_case.h"

namespace tw {

std::vector<std::string> FieldsModel::fieldNames() const {
  std::vector<std::string> out;
  for (const Field& f : fields_) out.push_back(f.name);
  return out;
}

std::string FieldsModel::field(std::string_view name) const {
  for (const Field& f : fields_)
    if (sameText(f.name, name)) return f.get();
  return {};
}

bool FieldsModel::setField(std::string_view name, std::string_view value) {
  for (const Field& f : fields_)
    if (sameText(f.name, name)) return f.set && f.set(value);
  return false;
}

void FieldsModel::addField(std::string name, std::function<std::string()> get,
                           std::function<bool(std::string_view)> set) {
  fields_.push_back({std::move(name), std::move(get), std::move(set)});
}

void FieldsModel::addFlag(std::string name, bool& target) {
  addField(
      std::move(name), [&target] { return std::string(target ? "1" : "0"); },
      [&target](std::string_view v) {
        std::string u = upperCased(v);
        if (u == "1" || u == "Y" || u == "YES" || u == "ON" || u == "TRUE") {
          target = true;
          return true;
        }
        if (u == "0" || u == "N" || u == "NO" || u == "OFF" || u == "FALSE") {
          target = false;
          return true;
        }
        return false;
      });
}

void FieldsModel::addChar(std::string name, char& target) {
  addField(
      std::move(name), [&target] { return std::string(1, target); },
      [&target](std::string_view v) {
        if (v.size() != 1) return false;
        target = v[0];
        return true;
      });
}

void FieldsModel::addText(std::string name, std::string& target, size_t longest) {
  addField(
      std::move(name), [&target] { return target; },
      [&target, longest](std::string_view v) {
        target = std::string(v.substr(0, longest));
        return true;
      });
}

void FieldsModel::addReadOnly(std::string name, std::function<std::string()> get) {
  addField(std::move(name), std::move(get), nullptr);
}

std::optional<int> integerOf(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  int n = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return n;
}

}  // namespace tw
