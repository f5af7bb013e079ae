,Grace,Hopper,,Navy\, Research,,Prefers fax\, not mail,+1 (202) 555-0142,office
Pioneers,0.0
