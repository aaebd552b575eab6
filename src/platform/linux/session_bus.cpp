#include "platform/linux/session_bus.h"

#include <gio/gio.h>

#include <future>
#include <list>
#include <thread>

namespace quorix {

namespace {

// The message of a GError, which it frees.
std::string Take(GError* error) {
  std::string message = error != nullptr ? error->message : "unknown D-Bus failure";
  g_clear_error(&error);
  return message;
}

GVariant* ToVariant(const BusValue& value) {
  if (const auto* b = std::get_if<bool>(&value)) return g_variant_new_boolean(*b);
  if (const auto* i = std::get_if<int32_t>(&value)) return g_variant_new_int32(*i);
  if (const auto* u = std::get_if<uint32_t>(&value)) return g_variant_new_uint32(*u);
  if (const auto* d = std::get_if<double>(&value)) return g_variant_new_double(*d);
  if (const auto* s = std::get_if<std::string>(&value)) return g_variant_new_string(s->c_str());
  GVariantBuilder list;
  g_variant_builder_init(&list, G_VARIANT_TYPE_STRING_ARRAY);
  for (const std::string& s : std::get<std::vector<std::string>>(value)) g_variant_builder_add(&list, "s", s.c_str());
  return g_variant_builder_end(&list);
}

GVariant* ToTuple(const BusValues& values) {
  std::vector<GVariant*> children;
  for (const BusValue& value : values) children.push_back(ToVariant(value));
  return g_variant_new_tuple(children.data(), children.size());
}

// Variants are unwrapped; a type this program never reads becomes an empty
// string, so that the arguments keep their positions.
BusValue FromVariant(GVariant* value) {
  if (g_variant_is_of_type(value, G_VARIANT_TYPE_VARIANT)) {
    GVariant* inner = g_variant_get_variant(value);
    BusValue result = FromVariant(inner);
    g_variant_unref(inner);
    return result;
  }
  if (g_variant_is_of_type(value, G_VARIANT_TYPE_BOOLEAN)) return g_variant_get_boolean(value) != FALSE;
  if (g_variant_is_of_type(value, G_VARIANT_TYPE_INT32)) return g_variant_get_int32(value);
  if (g_variant_is_of_type(value, G_VARIANT_TYPE_UINT32)) return g_variant_get_uint32(value);
  if (g_variant_is_of_type(value, G_VARIANT_TYPE_DOUBLE)) return g_variant_get_double(value);
  if (g_variant_is_of_type(value, G_VARIANT_TYPE_STRING) || g_variant_is_of_type(value, G_VARIANT_TYPE_OBJECT_PATH)) {
    return std::string(g_variant_get_string(value, nullptr));
  }
  if (g_variant_is_of_type(value, G_VARIANT_TYPE_STRING_ARRAY)) {
    std::vector<std::string> list;
    gsize count = 0;
    const gchar** strings = g_variant_get_strv(value, &count);
    for (gsize i = 0; i < count; ++i) list.emplace_back(strings[i]);
    g_free(strings);
    return list;
  }
  return std::string();
}

BusValues FromTuple(GVariant* tuple) {
  BusValues values;
  if (tuple == nullptr || !g_variant_is_container(tuple)) return values;
  const gsize count = g_variant_n_children(tuple);
  for (gsize i = 0; i < count; ++i) {
    GVariant* child = g_variant_get_child_value(tuple, i);
    values.push_back(FromVariant(child));
    g_variant_unref(child);
  }
  return values;
}

void OnMethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method, GVariant* parameters,
                  GDBusMethodInvocation* invocation, gpointer handler) {
  (*static_cast<SessionBus::MethodHandler*>(handler))(method, FromTuple(parameters));
  g_dbus_method_invocation_return_value(invocation, nullptr);
}

void OnSignal(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GVariant* parameters,
              gpointer handler) {
  (*static_cast<SessionBus::SignalHandler*>(handler))(FromTuple(parameters));
}

const GDBusInterfaceVTable kMethodTable = {OnMethodCall, nullptr, nullptr, {}};

}  // namespace

struct SessionBus::Impl {
  GMainContext* context = g_main_context_new();
  GMainLoop* loop = g_main_loop_new(context, FALSE);
  GDBusConnection* connection = nullptr;
  std::thread thread;
  // Registered and subscribed on the bus thread; the handlers' addresses are
  // the user data GDBus hands back, so they live in lists.
  std::vector<guint> registrations;
  std::vector<guint> subscriptions;
  std::list<MethodHandler> methodHandlers;
  std::list<SignalHandler> signalHandlers;

  // Runs work on the bus thread (where it is the thread-default context, so
  // that what work registers is dispatched there) and waits for it.
  void OnBusThread(const std::function<void()>& work) {
    struct Job {
      const std::function<void()>* work;
      std::promise<void> done;
    } job{&work, {}};
    std::future<void> done = job.done.get_future();
    g_main_context_invoke(
        context,
        [](gpointer data) -> gboolean {
          auto* j = static_cast<Job*>(data);
          (*j->work)();
          j->done.set_value();
          return G_SOURCE_REMOVE;
        },
        &job);
    done.wait();
  }

  ~Impl() {
    if (thread.joinable()) {
      // Through the context, so that a quit cannot come before the loop runs.
      OnBusThread([this] { g_main_loop_quit(loop); });
      thread.join();
    }
    if (connection != nullptr) {
      for (guint id : registrations) g_dbus_connection_unregister_object(connection, id);
      for (guint id : subscriptions) g_dbus_connection_signal_unsubscribe(connection, id);
      g_dbus_connection_close_sync(connection, nullptr, nullptr);
      g_object_unref(connection);
    }
    g_main_loop_unref(loop);
    g_main_context_unref(context);
  }
};

Result<std::unique_ptr<SessionBus>> SessionBus::Open() {
  GError* failure = nullptr;
  gchar* address = g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, nullptr, &failure);
  if (address == nullptr) {
    return Outcome(Failure::kUnavailable, "No D-Bus session bus: " + Take(failure));
  }
  auto impl = std::make_unique<Impl>();
  impl->connection = g_dbus_connection_new_for_address_sync(
      address,
      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, &failure);
  g_free(address);
  if (impl->connection == nullptr) {
    return Outcome(Failure::kUnavailable, "Cannot connect to the D-Bus session bus: " + Take(failure));
  }
  Impl* raw = impl.get();
  impl->thread = std::thread([raw] {
    g_main_context_push_thread_default(raw->context);
    g_main_loop_run(raw->loop);
    g_main_context_pop_thread_default(raw->context);
  });
  return std::unique_ptr<SessionBus>(new SessionBus(std::move(impl)));
}

SessionBus::SessionBus(std::unique_ptr<Impl> impl)
    : impl_(std::move(impl)), uniqueName_(g_dbus_connection_get_unique_name(impl_->connection)) {}

SessionBus::~SessionBus() = default;

Result<BusValues> SessionBus::Call(const BusObject& to, const std::string& method, const BusValues& args) {
  GError* failure = nullptr;
  GVariant* reply = g_dbus_connection_call_sync(impl_->connection, to.service.c_str(), to.path.c_str(),
                                                to.interface.c_str(), method.c_str(), ToTuple(args), nullptr,
                                                G_DBUS_CALL_FLAGS_NONE, 25000, nullptr, &failure);
  if (reply == nullptr) return Outcome(Failure::kUnavailable, Take(failure));
  BusValues values = FromTuple(reply);
  g_variant_unref(reply);
  return values;
}

Result<BusValue> SessionBus::Get(const BusObject& of, const std::string& property) {
  const BusObject properties{of.service, of.path, "org.freedesktop.DBus.Properties"};
  const Result<BusValues> reply = Call(properties, "Get", {of.interface, property});
  if (!reply) return reply.outcome();
  if (reply->empty()) return Outcome(Failure::kUnavailable, property + ": the reply carries no value");
  return reply->front();
}

Outcome SessionBus::Set(const BusObject& of, const std::string& property, const BusValue& value) {
  GError* failure = nullptr;
  GVariant* reply = g_dbus_connection_call_sync(
      impl_->connection, of.service.c_str(), of.path.c_str(), "org.freedesktop.DBus.Properties", "Set",
      g_variant_new("(ssv)", of.interface.c_str(), property.c_str(), ToVariant(value)), nullptr, G_DBUS_CALL_FLAGS_NONE,
      25000, nullptr, &failure);
  if (reply == nullptr) return Outcome(Failure::kUnavailable, Take(failure));
  g_variant_unref(reply);
  return {};
}

Outcome SessionBus::Export(const std::string& path, const std::string& introspectionXml, MethodHandler handler) {
  GError* failure = nullptr;
  GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(introspectionXml.c_str(), &failure);
  if (node == nullptr) return Outcome(Failure::kUnavailable, Take(failure));
  Outcome exported;
  impl_->OnBusThread([&] {
    MethodHandler* user = &impl_->methodHandlers.emplace_back(std::move(handler));
    for (GDBusInterfaceInfo** info = node->interfaces; info != nullptr && *info != nullptr && exported; ++info) {
      const guint id = g_dbus_connection_register_object(impl_->connection, path.c_str(), *info, &kMethodTable, user,
                                                         nullptr, &failure);
      if (id == 0) {
        exported = Outcome(Failure::kUnavailable, Take(failure));
      } else {
        impl_->registrations.push_back(id);
      }
    }
  });
  g_dbus_node_info_unref(node);
  return exported;
}

void SessionBus::Subscribe(const BusObject& sender, const std::string& member, SignalHandler handler) {
  impl_->OnBusThread([&] {
    SignalHandler* user = &impl_->signalHandlers.emplace_back(std::move(handler));
    impl_->subscriptions.push_back(g_dbus_connection_signal_subscribe(
        impl_->connection, sender.service.empty() ? nullptr : sender.service.c_str(), sender.interface.c_str(),
        member.c_str(), sender.path.c_str(), nullptr, G_DBUS_SIGNAL_FLAGS_NONE, OnSignal, user, nullptr));
  });
}

}  // namespace quorix
