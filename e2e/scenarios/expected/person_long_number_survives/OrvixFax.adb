,Bob,Roe,,Beta,,,+44 20 7946 0000 ext 1234 then ask for the fax room,desk
