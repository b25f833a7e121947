#pragma once

#include <QString>
#include <mosquitto.h>

namespace lumodm {

// libmosquitto's functions, from the library opened at run time when a
// publisher first connects: a run that publishes nothing never loads it,
// nor the TLS libraries it brings. Each member is the library's function
// of the same name without its "mosquitto_" prefix.
struct MosquittoApi
{
    decltype(&::mosquitto_strerror) strerror = nullptr;
    decltype(&::mosquitto_connack_string) connack_string = nullptr;
    decltype(&::mosquitto_new) create = nullptr; // mosquitto_new
    decltype(&::mosquitto_destroy) destroy = nullptr;
    decltype(&::mosquitto_connect_callback_set) connect_callback_set = nullptr;
    decltype(&::mosquitto_disconnect_callback_set) disconnect_callback_set = nullptr;
    decltype(&::mosquitto_publish_callback_set) publish_callback_set = nullptr;
    decltype(&::mosquitto_reconnect_delay_set) reconnect_delay_set = nullptr;
    decltype(&::mosquitto_max_inflight_messages_set) max_inflight_messages_set = nullptr;
    decltype(&::mosquitto_will_set) will_set = nullptr;
    decltype(&::mosquitto_username_pw_set) username_pw_set = nullptr;
    decltype(&::mosquitto_tls_set) tls_set = nullptr;
    decltype(&::mosquitto_int_option) int_option = nullptr;
    decltype(&::mosquitto_connect_async) connect_async = nullptr;
    decltype(&::mosquitto_loop_start) loop_start = nullptr;
    decltype(&::mosquitto_loop_stop) loop_stop = nullptr;
    decltype(&::mosquitto_disconnect) disconnect = nullptr;
    decltype(&::mosquitto_publish) publish = nullptr;
};

// The library, loaded and initialised once for the process; nullptr when
// it cannot be loaded, with the loader's reason in *error.
const MosquittoApi* mosquittoApi(QString* error);

} // namespace lumodm
