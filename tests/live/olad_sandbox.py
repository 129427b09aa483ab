#!/usr/bin/env python3
"""olad for the tests: loopback ports of its own, a scratch configuration in which every plugin but
the dummy one is switched off before the first start (nothing may leave this machine), and the
universe patched to the dummy device's output port.

  olad_sandbox.py ports                        two free loopback ports: RPC HTTP
  olad_sandbox.py run DIR RPC HTTP UNIVERSE    writes the configuration into DIR and becomes olad
                                               (as nobody when run as root: olad refuses root)
  olad_sandbox.py ready HTTP UNIVERSE          waits until the universe exists; fails unless the
                                               dummy plugin is the only one enabled
"""
import json
import os
import pwd
import grp
import re
import shutil
import socket
import subprocess
import sys
import time
import urllib.request

# Every plugin of OLA 0.10 by the name of its configuration file, and any plugin library the
# installed olad links that is named otherwise (libolaNAME.so): all of them off.
PLUGINS = {"artnet", "e131", "espnet", "ftdidmx", "gpio", "karate", "kinet", "milinst", "opendmx",
           "openpixelcontrol", "osc", "pathport", "renard", "sandnet", "shownet", "spi", "stageprofi",
           "uartdmx", "usbdmx", "usbserial", "dmx4linux", "nanoleaf"}


def installed_plugins():
    libraries = subprocess.run(["ldd", shutil.which("olad")], capture_output=True, text=True).stdout
    return (PLUGINS | set(re.findall(r"libola(\w+)\.so", libraries))) - {"dummy"}


def get(http, path):
    with urllib.request.urlopen(f"http://127.0.0.1:{http}{path}", timeout=5) as reply:
        return json.load(reply)


def run(directory, rpc, http, universe):
    for plugin in installed_plugins():
        with open(os.path.join(directory, f"ola-{plugin}.conf"), "w") as conf:
            conf.write("enabled = false\n")
    with open(os.path.join(directory, "ola-dummy.conf"), "w") as conf:
        conf.write("enabled = true\n")
    with open(os.path.join(directory, "ola-port.conf"), "w") as conf:
        conf.write(f"1-1-O-0 = {universe}\n")  # the dummy device's output port
    command = ["olad", "--config-dir", directory, "--rpc-port", rpc, "--http-port", http,
               "--interface", "127.0.0.1", "--no-register-with-dns-sd", "--log-level", "2"]
    if os.geteuid() == 0:
        nobody, nogroup = pwd.getpwnam("nobody").pw_uid, grp.getgrnam("nogroup").gr_gid
        for name in [directory] + [os.path.join(directory, f) for f in os.listdir(directory)]:
            os.chown(name, nobody, nogroup)
        command = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"] + command
    os.execvp(command[0], command)


def ready(http, universe):
    for _ in range(200):
        try:
            if get(http, f"/get_dmx?u={universe}").get("error") == "":
                break
        except OSError:
            pass
        time.sleep(0.05)
    else:
        sys.exit("olad did not come up with the universe patched")
    enabled = [p["name"] for p in get(http, "/json/universe_plugin_list")["plugins"] if p["enabled"]]
    if enabled != ["Dummy"]:
        sys.exit(f"olad runs plugins besides the dummy one: {enabled}")


def main(command, *args):
    if command == "ports":
        sockets = [socket.socket() for _ in range(2)]
        for s in sockets:
            s.bind(("127.0.0.1", 0))
        print(*(s.getsockname()[1] for s in sockets))
    elif command == "run":
        run(*args)
    elif command == "ready":
        ready(*args)


if __name__ == "__main__":
    main(*sys.argv[1:])
