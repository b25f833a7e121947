#include "publish/mosquitto_api.h"

#include <QLibrary>

namespace lumodm {

namespace {

// libmosquitto.so.1: the soname has stayed at 1 through the 2.x releases.
constexpr int kSoVersion = 1;

struct Loaded
{
    MosquittoApi api;
    bool ok = false;
    QString error;
};

template <typename Function> bool resolve(QLibrary& library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(library.resolve(name));
    return function != nullptr;
}

Loaded load()
{
    Loaded loaded;
    // Never unloaded: the library's network threads may outlive any one
    // publisher.
    QLibrary library(QStringLiteral("mosquitto"), kSoVersion);
    if (!library.load()) {
        loaded.error = library.errorString();
        return loaded;
    }
    MosquittoApi& api = loaded.api;
    decltype(&::mosquitto_lib_init) libInit = nullptr;
    loaded.ok =
        resolve(library, "mosquitto_lib_init", libInit) &&
        resolve(library, "mosquitto_strerror", api.strerror) &&
        resolve(library, "mosquitto_connack_string", api.connack_string) &&
        resolve(library, "mosquitto_new", api.create) &&
        resolve(library, "mosquitto_destroy", api.destroy) &&
        resolve(library, "mosquitto_connect_callback_set", api.connect_callback_set) &&
        resolve(library, "mosquitto_disconnect_callback_set", api.disconnect_callback_set) &&
        resolve(library, "mosquitto_publish_callback_set", api.publish_callback_set) &&
        resolve(library, "mosquitto_reconnect_delay_set", api.reconnect_delay_set) &&
        resolve(library, "mosquitto_max_inflight_messages_set", api.max_inflight_messages_set) &&
        resolve(library, "mosquitto_will_set", api.will_set) &&
        resolve(library, "mosquitto_username_pw_set", api.username_pw_set) &&
        resolve(library, "mosquitto_tls_set", api.tls_set) &&
        resolve(library, "mosquitto_int_option", api.int_option) &&
        resolve(library, "mosquitto_connect_async", api.connect_async) &&
        resolve(library, "mosquitto_loop_start", api.loop_start) &&
        resolve(library, "mosquitto_loop_stop", api.loop_stop) &&
        resolve(library, "mosquitto_disconnect", api.disconnect) &&
        resolve(library, "mosquitto_publish", api.publish);
    if (!loaded.ok) {
        loaded.error = library.errorString();
        return loaded;
    }
    libInit();
    return loaded;
}

} // namespace

const MosquittoApi* mosquittoApi(QString* error)
{
    static const Loaded loaded = load();
    if (!loaded.ok && error != nullptr) {
        *error = loaded.error;
    }
    return loaded.ok ? &loaded.api : nullptr;
}

} // namespace lumodm
