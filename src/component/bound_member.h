// BoundMember: a member function of a logic class made callable with the
// arguments the dispatch layer prepared for its table row, the same way for
// every member.
//
// Parameter i of the function receives argument i as its C++ type (a
// `Variant` parameter the argument itself). A parameter the function takes by
// non-const reference works on a copy that goes back into argument i when the
// call ends, returned or thrown, so the argument holds what the member left in
// it also when the member then failed; the dispatch layer hands it on to the
// caller where the table declares the parameter in/out. Other parameters leave
// their arguments alone. A function returning nothing answers the empty
// variant.
//
// signature() describes the function as a table row would (each parameter's
// declared type and direction, the result), so the rows and the functions they
// run can be proved to agree. A binding holds no object; it may be shared by
// every object of the class on any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "base/text.h"
#include "base/variant.h"
#include "component/dispatch.h"
#include "component/member_table.h"

namespace kavrolin::component {

// A member's shape: what a table row declares, with the enumerations that
// travel as 32-bit integers named as such.
struct Signature {
  struct Param {
    DeclaredType type;
    Direction direction;
    bool operator==(const Param&) const = default;
  };
  std::vector<Param> params;
  DeclaredType result = DeclaredType::kNone;
  bool operator==(const Signature&) const = default;
};

// The signature a table row declares.
Signature SignatureOf(const Member& member);

namespace bound_member_detail {

template <class T>
struct Declared;  // the declared type a C++ value type stands for
template <> struct Declared<void> { static constexpr DeclaredType kType = DeclaredType::kNone; };
template <> struct Declared<Text> { static constexpr DeclaredType kType = DeclaredType::kText; };
template <> struct Declared<int16_t> { static constexpr DeclaredType kType = DeclaredType::kInt16; };
template <> struct Declared<int32_t> { static constexpr DeclaredType kType = DeclaredType::kInt32; };
template <> struct Declared<double> { static constexpr DeclaredType kType = DeclaredType::kDouble; };
template <> struct Declared<bool> { static constexpr DeclaredType kType = DeclaredType::kBool; };
template <> struct Declared<TextArray> { static constexpr DeclaredType kType = DeclaredType::kTextArray; };
template <> struct Declared<ByteArray> { static constexpr DeclaredType kType = DeclaredType::kByteArray; };
template <> struct Declared<Variant> { static constexpr DeclaredType kType = DeclaredType::kVariant; };

// Taken by non-const reference: the member may change it for the caller.
template <class P>
inline constexpr bool kWritesBack =
    std::is_lvalue_reference_v<P> && !std::is_const_v<std::remove_reference_t<P>>;

template <class T>
const T& ArgumentAs(const CallArgs& args, size_t i) {
  if constexpr (std::is_same_v<T, Variant>) {
    return args[i];
  } else {
    return args[i].get<T>();
  }
}

template <class... Params>
Signature SignatureFrom(DeclaredType result) {
  return Signature{{Signature::Param{Declared<std::remove_cvref_t<Params>>::kType,
                                     kWritesBack<Params> ? Direction::kInOut : Direction::kIn}...},
                   result};
}

// The arguments as the function's locals, called with them, and the
// by-reference ones set back however the call ends.
template <auto Function, class Object, class Result, class... Params, size_t... I>
Variant Call(Object& object, CallArgs& args, std::index_sequence<I...>) {
  if (args.size() != sizeof...(Params)) throw ShellError(kWrongArgumentCount);
  std::tuple<std::remove_cvref_t<Params>...> locals(ArgumentAs<std::remove_cvref_t<Params>>(args, I)...);
  const auto set_back = [&] {
    ((kWritesBack<Params> ? void(args[I] = Variant(std::move(std::get<I>(locals)))) : void()), ...);
  };
  try {
    if constexpr (std::is_void_v<Result>) {
      (object.*Function)(std::get<I>(locals)...);
      set_back();
      return Variant();
    } else {
      Variant result((object.*Function)(std::get<I>(locals)...));
      set_back();
      return result;
    }
  } catch (...) {
    set_back();
    throw;
  }
}

// The function's result and parameter types, from its pointer's type.
template <auto Function, class Object, class Result, class... Params>
Variant Run(Object& object, CallArgs& args, Result (Object::*)(Params...)) {
  return Call<Function, Object, Result, Params...>(object, args, std::index_sequence_for<Params...>{});
}
template <auto Function, class Object, class Result, class... Params>
Variant Run(Object& object, CallArgs& args, Result (Object::*)(Params...) const) {
  return Call<Function, Object, Result, Params...>(object, args, std::index_sequence_for<Params...>{});
}
template <class Object, class Result, class... Params>
Signature SignatureOf(Result (Object::*)(Params...)) {
  return SignatureFrom<Params...>(Declared<std::remove_cvref_t<Result>>::kType);
}
template <class Object, class Result, class... Params>
Signature SignatureOf(Result (Object::*)(Params...) const) {
  return SignatureFrom<Params...>(Declared<std::remove_cvref_t<Result>>::kType);
}

}  // namespace bound_member_detail

template <class Object>
class BoundMember {
 public:
  // The binding of one member function of Object, e.g.
  // BoundMember<clsHT>::Of<&clsHT::Ping>().
  template <auto Function>
  static BoundMember Of() {
    return BoundMember(&RunOf<Function>, bound_member_detail::SignatureOf(Function));
  }

  Variant operator()(Object& object, CallArgs& args) const { return run_(object, args); }
  const Signature& signature() const { return signature_; }

 private:
  using Runner = Variant (*)(Object&, CallArgs&);
  BoundMember(Runner run, Signature signature) : run_(run), signature_(std::move(signature)) {}

  template <auto Function>
  static Variant RunOf(Object& object, CallArgs& args) {
    return bound_member_detail::Run<Function>(object, args, Function);
  }

  Runner run_;
  Signature signature_;
};

}  // namespace kavrolin::component
