#include "sane_options.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>

namespace os_actions::printing::detail {
namespace {

std::string lower(std::string text) {
  for (auto& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool contains_any(const std::string& text, std::initializer_list<const char*> words) {
  const auto low = lower(text);
  return std::any_of(words.begin(), words.end(),
                     [&](const char* word) { return low.find(word) != std::string::npos; });
}

struct Option {
  SANE_Int index = -1;
  const SANE_Option_Descriptor* descriptor = nullptr;
};

Option find_option(SANE_Handle handle, const char* name) {
  SANE_Int count = 0;
  if (sane_control_option(handle, 0, SANE_ACTION_GET_VALUE, &count, nullptr) != SANE_STATUS_GOOD) {
    return {};
  }
  for (SANE_Int i = 1; i < count; ++i) {
    const auto* descriptor = sane_get_option_descriptor(handle, i);
    if (descriptor && descriptor->name && std::strcmp(descriptor->name, name) == 0 &&
        SANE_OPTION_IS_ACTIVE(descriptor->cap) && SANE_OPTION_IS_SETTABLE(descriptor->cap)) {
      return {i, descriptor};
    }
  }
  return {};
}

std::vector<std::string> string_choices(const Option& option) {
  std::vector<std::string> choices;
  if (option.descriptor->constraint_type != SANE_CONSTRAINT_STRING_LIST) return choices;
  for (const auto* const* item = option.descriptor->constraint.string_list; item && *item; ++item) {
    choices.emplace_back(*item);
  }
  return choices;
}

std::expected<void, std::string> set_string(SANE_Handle handle, const Option& option,
                                            const std::string& value) {
  std::vector<char> buffer(
      std::max<std::size_t>(static_cast<std::size_t>(option.descriptor->size), value.size() + 1));
  std::memcpy(buffer.data(), value.c_str(), value.size() + 1);
  const auto status =
      sane_control_option(handle, option.index, SANE_ACTION_SET_VALUE, buffer.data(), nullptr);
  if (status != SANE_STATUS_GOOD) {
    return std::unexpected("could not set " + std::string(option.descriptor->name) + " to " +
                           value + ": " + sane_strstatus(status));
  }
  return {};
}

// A number for an integer or fixed-point option: writing 300 as an integer into a
// fixed-point option would ask for about 1/218 dpi. The value is fitted to the option's
// range or word list.
std::expected<void, std::string> set_number(SANE_Handle handle, const Option& option,
                                            double wanted) {
  const auto* d = option.descriptor;
  if (d->type != SANE_TYPE_INT && d->type != SANE_TYPE_FIXED) {
    return std::unexpected(std::string(d->name) + " is not a number option");
  }
  const bool fixed = d->type == SANE_TYPE_FIXED;
  auto to_double = [&](SANE_Word word) {
    return fixed ? SANE_UNFIX(word) : static_cast<double>(word);
  };
  double value = wanted;
  if (d->constraint_type == SANE_CONSTRAINT_RANGE && d->constraint.range) {
    const auto* range = d->constraint.range;
    value = std::clamp(value, to_double(range->min), to_double(range->max));
  } else if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST && d->constraint.word_list) {
    const auto* list = d->constraint.word_list;
    double best = value, distance = std::numeric_limits<double>::max();
    for (SANE_Int i = 1; i <= list[0]; ++i) {
      const double candidate = to_double(list[i]);
      if (std::abs(candidate - wanted) < distance) {
        distance = std::abs(candidate - wanted);
        best = candidate;
      }
    }
    value = best;
  }
  SANE_Word word = fixed ? SANE_FIX(value) : static_cast<SANE_Word>(std::lround(value));
  // Options with several values (x and y resolution in one) get the value in every slot.
  const auto slots =
      std::max<std::size_t>(1, static_cast<std::size_t>(d->size) / sizeof(SANE_Word));
  std::vector<SANE_Word> words(slots, word);
  const auto status =
      sane_control_option(handle, option.index, SANE_ACTION_SET_VALUE, words.data(), nullptr);
  if (status != SANE_STATUS_GOOD) {
    return std::unexpected("could not set " + std::string(d->name) + ": " + sane_strstatus(status));
  }
  return {};
}

}  // namespace

std::string pick_mode(const std::vector<std::string>& choices, int color) {
  auto first = [&](std::initializer_list<const char*> words) -> std::string {
    for (const auto& choice : choices) {
      if (contains_any(choice, words)) return choice;
    }
    return {};
  };
  switch (color) {
    case 1:
      return first({"gray", "grey"});
    case 2:
      return first({"lineart", "line art", "binary", "black & white", "black and white"});
    default:
      return first({"color", "colour"});
  }
}

std::string pick_source(const std::vector<std::string>& choices, int source) {
  for (const auto& choice : choices) {
    const bool duplex = contains_any(choice, {"duplex", "two-sided", "two sided"});
    const bool feeder = contains_any(choice, {"adf", "feeder", "automatic document"});
    const bool flatbed = contains_any(choice, {"flatbed", "platen"});
    if (source == 2 && duplex) return choice;
    if (source == 1 && feeder && !duplex) return choice;
    if (source == 0 && flatbed) return choice;
  }
  return {};
}

std::expected<void, std::string> apply_scan_options(SANE_Handle handle, int resolution, int color,
                                                    int source) {
  // Mode first: it can change which other options exist.
  if (auto mode = find_option(handle, "mode"); mode.descriptor) {
    auto choice = pick_mode(string_choices(mode), color);
    if (choice.empty() && color == 2) {
      // No line-art mode: grey at one bit per sample is line art.
      choice = pick_mode(string_choices(mode), 1);
      if (!choice.empty()) {
        if (auto set = set_string(handle, mode, choice); !set) return set;
        if (auto depth = find_option(handle, "depth"); depth.descriptor) {
          if (auto set = set_number(handle, depth, 1); !set) return set;
        }
        choice.clear();
      }
    }
    if (!choice.empty()) {
      if (auto set = set_string(handle, mode, choice); !set) return set;
    }
  }
  if (auto depth = find_option(handle, "depth"); depth.descriptor && color != 2) {
    if (auto set = set_number(handle, depth, 8); !set) return set;
  }
  if (auto option = find_option(handle, "source"); option.descriptor) {
    const auto choice = pick_source(string_choices(option), source);
    if (choice.empty() && source != 0) {
      return std::unexpected(source == 2 ? "this scanner cannot scan both sides"
                                         : "this scanner has no document feeder");
    }
    if (!choice.empty()) {
      if (auto set = set_string(handle, option, choice); !set) return set;
    }
  } else if (source != 0) {
    return std::unexpected("this scanner has no document feeder");
  }
  if (auto option = find_option(handle, "resolution"); option.descriptor) {
    if (auto set = set_number(handle, option, resolution); !set) return set;
  }
  return {};
}

}  // namespace os_actions::printing::detail
