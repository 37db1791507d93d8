#pragma once

// A value, or the reason there is none: the part of C++23's std::expected this program uses,
// under the same names, so that moving to the standard one is a rename.

#include <utility>
#include <variant>

namespace r7 {

template <typename E>
class Unexpected {
public:
    explicit Unexpected(E error) : error_(std::move(error)) {}
    const E& error() const& { return error_; }
    E&& error() && { return std::move(error_); }

private:
    E error_;
};

template <typename T, typename E>
class Expected {
public:
    Expected() : held_(std::in_place_index<0>) {}
    Expected(T value) : held_(std::in_place_index<0>, std::move(value)) {}  // NOLINT: implicit
    template <typename G>
    Expected(Unexpected<G> failed)  // NOLINT: implicit, like std::expected
        : held_(std::in_place_index<1>, std::move(failed).error()) {}

    bool has_value() const { return held_.index() == 0; }
    explicit operator bool() const { return has_value(); }
    const T& value() const& { return std::get<0>(held_); }
    T& value() & { return std::get<0>(held_); }
    T&& value() && { return std::get<0>(std::move(held_)); }
    const T& operator*() const& { return value(); }
    T& operator*() & { return value(); }
    const T* operator->() const { return &value(); }
    T* operator->() { return &value(); }
    const E& error() const { return std::get<1>(held_); }

private:
    std::variant<T, E> held_;
};

template <typename E>
class Expected<void, E> {
public:
    Expected() = default;
    template <typename G>
    Expected(Unexpected<G> failed)  // NOLINT: implicit, like std::expected
        : error_(std::move(failed).error()), failed_(true) {}

    bool has_value() const { return !failed_; }
    explicit operator bool() const { return has_value(); }
    void value() const {}
    const E& error() const { return error_; }

private:
    E error_{};
    bool failed_ = false;
};

}  // namespace r7
