#pragma once
// The platform's key-value persistence for an application. This toolkit keeps it in
// memory for the life of the process: nothing is written to disk.
#include <expected>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace vesk_ui::persist {

class Store {
 public:
  std::optional<std::string> get(const std::string& key) const;
  void set(const std::string& key, std::string value);

 private:
  struct Data {
    std::mutex mutex;
    std::map<std::string, std::string> values;
  };
  std::shared_ptr<Data> data_ = std::make_shared<Data>();
};

using Opener = std::function<std::expected<Store, std::string>(std::string_view app_id)>;

std::expected<Store, std::string> open(std::string_view app_id);

}  // namespace vesk_ui::persist
