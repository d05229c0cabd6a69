#include "fake_jvm.h"

#include <cstdio>
#include <cstdlib>
#include <set>
#include <utility>

namespace fakejvm {

struct FakeJvm::Object {
  enum class Kind { String, Class, Array } kind;
  std::u16string text;             // String
  std::string name;                // Class
  std::vector<Object*> elements;   // Array
};

struct FakeJvm::Impl {
  mutable std::mutex mutex;
  std::vector<std::unique_ptr<Object>> objects;
  // A reference is its own small allocation, so a deleted one can be told from a live one.
  std::map<jobject, Object*> liveReferences;
  std::set<jobject> deletedReferences;
  std::map<const jchar*, std::unique_ptr<jchar[]>> lentCharacters;
  std::vector<std::string> calls;
  std::map<std::string, unsigned> counts;
  std::map<std::string, unsigned> failures;
  std::vector<std::string> violations;
  bool exceptionPending = false;
  unsigned localReferences = 0;
  unsigned peakLocalReferences = 0;

  // Logs a call; answers true when the call is to fail.
  bool enter(const char* function, bool allowedWithException = false) {
    calls.emplace_back(function);
    unsigned index = ++counts[function];
    if (exceptionPending && !allowedWithException) {
      violations.push_back(std::string(function) + " called with an exception pending");
    }
    auto failure = failures.find(function);
    if (failure != failures.end() && failure->second == index) {
      exceptionPending = true;
      return true;
    }
    return false;
  }

  jobject newReference(Object* object, bool local) {
    jobject reference = reinterpret_cast<jobject>(new char);
    liveReferences[reference] = object;
    if (local) {
      ++localReferences;
      if (localReferences > peakLocalReferences) peakLocalReferences = localReferences;
    }
    return reference;
  }

  Object* newObject(Object::Kind kind) {
    objects.push_back(std::make_unique<Object>());
    objects.back()->kind = kind;
    return objects.back().get();
  }

  Object* resolve(jobject reference, const char* function) const {
    if (reference == nullptr) return nullptr;
    auto found = liveReferences.find(reference);
    if (found != liveReferences.end()) return found->second;
    auto* self = const_cast<Impl*>(this);
    self->violations.push_back(std::string(function) + " given a " +
                               (deletedReferences.count(reference) ? "deleted" : "foreign") + " reference");
    return nullptr;
  }
};

FakeJvm::Impl& implOf(JNIEnv* env) {
  return *reinterpret_cast<FakeJvm::Block*>(env)->owner->impl_;
}

namespace {

using Object = FakeJvm::Object;
using Lock = std::lock_guard<std::mutex>;

[[noreturn]] void unexpectedFunction(std::size_t slot) {
  std::fprintf(stderr, "fake JVM: the library called JNI function #%u, which it is not expected to use\n",
               static_cast<unsigned>(slot));
  std::fflush(stderr);
  std::abort();
}

template <std::size_t Slot>
void JNICALL trap() {
  unexpectedFunction(Slot);
}

template <std::size_t... Slots>
void fillWithTraps(void** slots, std::index_sequence<Slots...>) {
  ((slots[Slots] = reinterpret_cast<void*>(&trap<Slots>)), ...);
}

jstring JNICALL newString(JNIEnv* env, const jchar* units, jsize length) {
  auto& vm = implOf(env);
  Lock lock(vm.mutex);
  if (vm.enter("NewString")) return nullptr;
  if (length < 0 || (length > 0 && units == nullptr)) {
    vm.violations.push_back("NewString given a bad length or no units");
    return nullptr;
  }
  Object* object = vm.newObject(Object::Kind::String);
  object->text.assign(reinterpret_cast<const char16_t*>(units), static_cast<std::size_t>(length));
  return static_cast<jstring>(vm.newReference(object, true));
}

jstring JNICALL newStringUtf(JNIEnv* env, const char* bytes) {
  auto& vm = implOf(env);
  Lock lock(vm.mutex);
  if (vm.enter("NewStringUTF")) return nullptr;
  Object* object = vm.newObject(Object::Kind::String);
  // The library only passes ASCII here.
  for (const char* c = bytes; *c != 0; ++c) object->text.push_back(static_cast<char16_t>(*c));
  return static_cast<jstring>(vm.newReference(object, true));
}

jsize JNICALL getStringLength(JNIEnv* env, jstring string) {
  auto& vm = implOf(env);
  Lock lock(vm.mutex);
  if (vm.enter("GetStringLength")) return 0;
  Object* object = vm.resolve(string, "GetStringLength");
  return object == nullptr ? 0 : static_cast<jsize>(object->text.size());
}

const jchar* JNICALL getStringChars(JNIEnv* env, jstring string, jboolean* isCopy) {
  auto& vm = implOf(env);
  Lock lock(vm.mutex);
  if (vm.enter("GetStringChars")) return nullptr;
  Object* object = vm.resolve(string, "GetStringChars");
  if (object == nullptr) return nullptr;
  // Exactly the string's units and no terminator, as a VM may lend them: reading past them is a fault.
  auto copy = std::make_unique<jchar[]>(object->text.size() == 0 ? 1 : object->text.size());
  for (std::size_t i = 0; i < object->text.size(); ++i) copy[i] = object->text[i];
  const jchar* lent = copy.get();
  vm.lentCharacters[lent] = std::move(copy);
  if (isCopy != nullptr) *isCopy = JNI_TRUE;
  return lent;
}

void JNICALL releaseStringChars(JNIEnv* env, jstring string, const jchar* chars) {
  auto& vm = implOf(env);
  Lock lock(vm.mutex);
  vm.enter("ReleaseStringChars", true);
  vm.resolve(string, "ReleaseStringChars");
  if (vm.lentCharacters.erase(chars) == 0) vm.violations.push_back("ReleaseStringChars given characters not lent");
}

jclass JNICALL findClass(JNIEnv* env, const char* name) {
  auto& vm = implOf(env);
  Lock lock(vm.mutex);
  if (vm.enter("FindClass")) return nullptr;
  if (std::string(name) != "java/lang/String") {
    vm.violations.push_back(std::string("FindClass of an unknown class ") + name);
    vm.exceptionPending = true;
    return nullptr;
  }
  Object* object = vm.newObject(Object::Kind::Class);
  object->name = name;
  return static_cast<jclass>(vm.newReference(object, true));
}

jobjectArray JNICALL newObjectArray(JNIEnv* env, jsize length, jclass elementClass, jobject initial) {
  auto& vm = implOf(env);
  Lock lock(vm.mutex);
  if (vm.enter("NewObjectArray")) return nullptr;
  Object* type = vm.resolve(elementClass, "NewObjectArray");
  if (type == nullptr || type->kind != Object::Kind::Class || length < 0) {
    vm.violations.push_back("NewObjectArray given no class or a negative length");
    return nullptr;
  }
  Object* array = vm.newObject(Object::Kind::Array);
  array->elements.assign(static_cast<std::size_t>(length), vm.resolve(initial, "NewObjectArray"));
  return static_cast<jobjectArray>(vm.newReference(array, true));
}

void JNICALL setObjectArrayElement(JNIEnv* env, jobjectArray array, jsize index, jobject value) {
  auto& vm = implOf(env);
  Lock lock(vm.mutex);
  if (vm.enter("SetObjectArrayElement")) return;
  Object* target = vm.resolve(array, "SetObjectArrayElement");
  if (target == nullptr || target->kind != Object::Kind::Array || index < 0 ||
      static_cast<std::size_t>(index) >= target->elements.size()) {
    vm.violations.push_back("SetObjectArrayElement out of bounds or not on an array");
    vm.exceptionPending = true;
    return;
  }
  target->elements[static_cast<std::size_t>(index)] = vm.resolve(value, "SetObjectArrayElement");
}

void JNICALL deleteLocalRef(JNIEnv* env, jobject reference) {
  auto& vm = implOf(env);
  Lock lock(vm.mutex);
  vm.enter("DeleteLocalRef", true);
  if (reference == nullptr) return;
  if (vm.resolve(reference, "DeleteLocalRef") == nullptr) return;
  vm.liveReferences.erase(reference);
  vm.deletedReferences.insert(reference);
  --vm.localReferences;
}

jboolean JNICALL exceptionCheck(JNIEnv* env) {
  auto& vm = implOf(env);
  Lock lock(vm.mutex);
  vm.enter("ExceptionCheck", true);
  return vm.exceptionPending ? JNI_TRUE : JNI_FALSE;
}

}  // namespace

FakeJvm::FakeJvm() : table_{}, block_{}, impl_(std::make_unique<Impl>()) {
  constexpr std::size_t kSlots = sizeof(JNINativeInterface_) / sizeof(void*);
  fillWithTraps(reinterpret_cast<void**>(&table_), std::make_index_sequence<kSlots>{});
  table_.NewString = &newString;
  table_.NewStringUTF = &newStringUtf;
  table_.GetStringLength = &getStringLength;
  table_.GetStringChars = &getStringChars;
  table_.ReleaseStringChars = &releaseStringChars;
  table_.FindClass = &findClass;
  table_.NewObjectArray = &newObjectArray;
  table_.SetObjectArrayElement = &setObjectArrayElement;
  table_.DeleteLocalRef = &deleteLocalRef;
  table_.ExceptionCheck = &exceptionCheck;
  block_.env.functions = &table_;
  block_.owner = this;
}

FakeJvm::~FakeJvm() {
  for (auto& [reference, object] : impl_->liveReferences) delete reinterpret_cast<char*>(reference);
  for (jobject reference : impl_->deletedReferences) delete reinterpret_cast<char*>(reference);
}

void FakeJvm::failCall(const std::string& function, unsigned nthCall) {
  Lock lock(impl_->mutex);
  impl_->failures[function] = nthCall;
}

jstring FakeJvm::javaString(const std::u16string& text) {
  Lock lock(impl_->mutex);
  Object* object = impl_->newObject(Object::Kind::String);
  object->text = text;
  return static_cast<jstring>(impl_->newReference(object, false));
}

unsigned FakeJvm::callCount(const std::string& function) const {
  Lock lock(impl_->mutex);
  auto found = impl_->counts.find(function);
  return found == impl_->counts.end() ? 0 : found->second;
}

std::vector<std::string> FakeJvm::calls() const {
  Lock lock(impl_->mutex);
  return impl_->calls;
}

bool FakeJvm::exceptionPending() const {
  Lock lock(impl_->mutex);
  return impl_->exceptionPending;
}

std::vector<std::string> FakeJvm::violations() const {
  Lock lock(impl_->mutex);
  std::vector<std::string> found = impl_->violations;
  if (!impl_->lentCharacters.empty()) found.push_back("string characters lent and never released");
  return found;
}

unsigned FakeJvm::peakLocalReferences() const {
  Lock lock(impl_->mutex);
  return impl_->peakLocalReferences;
}

bool FakeJvm::isString(jobject object) const {
  Lock lock(impl_->mutex);
  auto found = impl_->liveReferences.find(object);
  return found != impl_->liveReferences.end() && found->second->kind == Object::Kind::String;
}

std::u16string FakeJvm::stringText(jobject object) const {
  Lock lock(impl_->mutex);
  auto found = impl_->liveReferences.find(object);
  return found == impl_->liveReferences.end() ? std::u16string() : found->second->text;
}

bool FakeJvm::isArray(jobject object) const {
  Lock lock(impl_->mutex);
  auto found = impl_->liveReferences.find(object);
  return found != impl_->liveReferences.end() && found->second->kind == Object::Kind::Array;
}

std::vector<jobject> FakeJvm::arrayElements(jobject array) const {
  Lock lock(impl_->mutex);
  std::vector<jobject> elements;
  auto found = impl_->liveReferences.find(array);
  if (found == impl_->liveReferences.end()) return elements;
  // Hand each element out as a fresh reference the test can read.
  for (Object* element : found->second->elements) {
    elements.push_back(element == nullptr ? nullptr : impl_->newReference(element, false));
  }
  return elements;
}

}  // namespace fakejvm
