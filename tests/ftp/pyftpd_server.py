# Local FTP server for the engine tests: a user and anonymous, on a port the OS picks.
# With a certificate file as the seventh argument it speaks explicit TLS (AUTH TLS) as well.
import sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

home, anon_home, port_file, user, password = sys.argv[1:6]
certificate = sys.argv[6] if len(sys.argv) > 6 else None
authorizer = DummyAuthorizer()
authorizer.add_user(user, password, home, perm="elradfmwMT")
authorizer.add_anonymous(anon_home)
if certificate:
    from pyftpdlib.handlers import TLS_FTPHandler
    handler = TLS_FTPHandler
    handler.certfile = certificate
else:
    handler = FTPHandler
handler.authorizer = authorizer
handler.banner = "pyftpdlib test server ready."
server = FTPServer(("127.0.0.1", 0), handler)
with open(port_file + ".tmp", "w") as f:
    f.write(str(server.address[1]))
import os
os.replace(port_file + ".tmp", port_file)
server.serve_forever()
