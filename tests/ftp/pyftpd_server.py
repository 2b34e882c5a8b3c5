# Local FTP server for the engine tests: a user and anonymous, on a port the OS picks.
import sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

home, anon_home, port_file, user, password = sys.argv[1:6]
authorizer = DummyAuthorizer()
authorizer.add_user(user, password, home, perm="elradfmwMT")
authorizer.add_anonymous(anon_home)
handler = FTPHandler
handler.authorizer = authorizer
handler.banner = "pyftpdlib test server ready."
server = FTPServer(("127.0.0.1", 0), handler)
with open(port_file + ".tmp", "w") as f:
    f.write(str(server.address[1]))
import os
os.replace(port_file + ".tmp", port_file)
server.serve_forever()
